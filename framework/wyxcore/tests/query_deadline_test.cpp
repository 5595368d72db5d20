// The time bound of a collector's query: a query that overruns is abandoned,
// the run goes on, and the abandoned thread reaches nothing shared afterwards.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "expect_status.h"
#include "test_support.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {

using testsupport::TakeLog;

// A collector that adds one record, writes one log line, then waits until the
// test lets it go (or not at all) and tries both once more.
class HeldCollector : public IPlugin, public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    HeldCollector(bool hold, bool throws) : hold_(hold), throws_(throws) {}
    IPluginCallbacks* GetCallbacks() override { return this; }
    bool IsLoaded() override { return true; }
    std::string GetFileName() override { return "held.pi"; }
    int GetType() override { return kWyxCollector; }
    std::string GetName() override { return "Held"; }

    void Query(TContainer* container, const std::vector<std::string>&, int) override {
        seenDecls = container->FindClass("VARNSG_Held")->GetPropertyDecls();
        add(container, "before");
        if (throws_) throw TWYXException(kWyxQueryFailed, "held");
        if (!hold_) return;
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait(lock, [this] { return released; });
        add(container, "after");
        lateLog = wyxWriteLog(nullptr, kWyxLogError, "late");
        lateProgress = wyxReportProgress(nullptr, "late", 1, 0);
        finished = true;
        released_.notify_all();
    }
    void release() {
        std::unique_lock<std::mutex> lock(mutex_);
        released = true;
        released_.notify_all();
        released_.wait(lock, [this] { return finished; });
    }

    bool released = false, finished = false;
    int lateLog = -1, lateProgress = -1;
    std::vector<TCIMPropertyDecl> seenDecls;

private:
    void add(TContainer* container, const char* when) {
        TCIMInstance* instance = new TCIMInstance(container->FindClass("VARNSG_Held"));
        instance->SetPropertyValue("When", TCIMValue(when));
        instance->Commit();
        TRootObject::GetCoreLogger()->Write(this, kWyxLogError, when);
    }
    const bool hold_, throws_;
    std::mutex mutex_;
    std::condition_variable released_;
};

std::vector<std::string> recorded(const TContainer& container) {
    std::vector<std::string> when;
    for (const TCIMInstance* instance : container.FindClass("VARNSG_Held")->EnumerateInstances(true))
        when.push_back(instance->GetPropertyValue("When")->GetText());
    return when;
}

TEST(QueryDeadline, BoundsEveryCollectorQuery) {
    // 0.3 s is 299.99... ms in binary: the bound must not read 0.299 (x87).
    testsupport::SetEnv("WYX_COLLECTOR_TIMEOUT", "0.3");
    const struct {
        const char* what;
        bool hold, throws;
        std::vector<std::string> records, log;
        int status;
    } cases[] = {
        {"returns in time: its records are merged", false, false, {"before"}, {"before"}, kWyxOK},
        // What was added before the failure stays, as without the bound.
        {"throws: its records are kept", false, true, {"before"}, {"before"}, kWyxQueryFailed},
        // Nothing it does after the bound reaches the container, the log or the
        // progress line; the process is told it must end without destructors.
        {"overruns: abandoned, the run goes on", true, false, {}, {"before",
          "Collector Held did not finish within 0.3 seconds and was abandoned"}, kWyxOK},
    };
    // The query sees each declaration whole, arrays and references too.
    const std::vector<TCIMPropertyDecl> decls = {
        {"When", kCIMString}, {"Slots", kCIMUInt16, true}, {"Part", kCIMReference, false, "VARNSG_Part"}};
    for (const auto& c : cases) {
        EXPECT_EQ(0u, AbandonedQueryCount()) << c.what;
        HeldCollector collector(c.hold, c.throws);
        TContainer container(TContainer::kEmpty);
        TCIMClass* held = container.AddClass("VARNSG_Held");
        for (const TCIMPropertyDecl& decl : decls) held->DeclareProperty(decl);
        EXPECT_STATUS(TRootObject::GetQueryManager()->RunQuery(&collector, &container, {"VARNSG_Held"}, 0), c.status)
            << c.what;
        if (c.hold) {
            collector.release();
            EXPECT_EQ(kWyxFailure, collector.lateLog) << c.what;
            EXPECT_EQ(kWyxFailure, collector.lateProgress) << c.what;
        }
        EXPECT_EQ(c.hold ? 1u : 0u, AbandonedQueryCount()) << c.what;
        ASSERT_EQ(decls.size(), collector.seenDecls.size()) << c.what;
        for (size_t i = 0; i < decls.size(); ++i) {
            EXPECT_EQ(decls[i].name, collector.seenDecls[i].name) << c.what;
            EXPECT_EQ(decls[i].type, collector.seenDecls[i].type) << c.what;
            EXPECT_EQ(decls[i].isArray, collector.seenDecls[i].isArray) << c.what;
            EXPECT_EQ(decls[i].referenceClass, collector.seenDecls[i].referenceClass) << c.what;
        }
        EXPECT_EQ(c.records, recorded(container)) << c.what;
        EXPECT_EQ(c.log, TakeLog(&collector)) << c.what;
    }
    testsupport::UnsetEnv("WYX_COLLECTOR_TIMEOUT");
}

}  // namespace

