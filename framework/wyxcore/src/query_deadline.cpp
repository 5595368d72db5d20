#include "query_deadline.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "wyxcore/container.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"

namespace query_deadline {

std::atomic<unsigned> abandonedCount{0};

// The merge's way past the per-property checks: the values were checked when
// the query set them on an instance of a class declared alike.
class StagedInstanceMove {
public:
    static void Move(TCIMInstance* from, TCIMInstance* to) { to->TakeCheckedProperties(from->ReleaseProperties()); }
};

namespace {

using std::chrono::milliseconds;

const milliseconds kDefaultBound(30000);
const double kLongestBoundSeconds = 86400;

// What the caller and a query's thread share. The thread owns its copy through
// a shared pointer, so an abandoned query keeps its private container alive
// and never reaches the caller's.
struct QueryRun {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> abandoned{false};   // read by every flat call of the query's thread
    std::exception_ptr error;
    TContainer staging{TContainer::kEmpty};
};

thread_local std::shared_ptr<QueryRun> currentRun;

// The real container's classes, declarations and providers, without instances.
void copySchema(const TContainer& from, TContainer& to) {
    for (const TCIMClass* source : from.GetClasses()) {
        TCIMClass* copy = to.AddClass(source->GetName());
        for (const TCIMPropertyDecl& decl : source->GetPropertyDecls()) copy->DeclareProperty(decl);
        copy->SetProvider(source->GetProvider(), source->GetProviderPass());
    }
}

// The query's classes and instances into the real container, in commit order;
// the values are moved, so a large log is never held twice.
void merge(TContainer& from, TContainer& to) {
    for (const TCIMClass* source : from.GetClasses()) {
        TCIMClass* target = to.AddClass(source->GetName());
        for (const TCIMPropertyDecl& decl : source->GetPropertyDecls()) target->DeclareProperty(decl);
        for (TCIMInstance* instance : source->EnumerateInstances(true)) {
            auto moved = std::make_unique<TCIMInstance>(target);
            StagedInstanceMove::Move(instance, moved.get());
            moved.release()->Commit();
        }
    }
}

std::string seconds(milliseconds bound) {
    std::ostringstream text;
    text << bound.count() / 1000.0;
    return text.str();
}

}  // namespace

milliseconds CollectorBound() {
    const char* text = std::getenv("WYX_COLLECTOR_TIMEOUT");
    if (!text || !*text) return kDefaultBound;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*end || !(value > 0) || value > kLongestBoundSeconds) return kDefaultBound;
    // Rounded: 0.3 s is 299.99... ms in binary, and 299 ms on the x87.
    return milliseconds(std::llround(value * 1000));
}

bool CallerMayWrite() {
    return !currentRun || !currentRun->abandoned;
}

void RunBounded(IPlugin* plugin, IPluginBasicQueryCallbacks* query, TContainer* container,
                const std::vector<std::string>& classNames, int pass, milliseconds bound) {
    auto run = std::make_shared<QueryRun>();
    copySchema(*container, run->staging);
    std::thread worker([run, query, classNames, pass]() {
        currentRun = run;
        std::exception_ptr error;
        try {
            query->Query(&run->staging, classNames, pass);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(run->mutex);
        run->error = error;
        run->done = true;
        run->finished.notify_all();
    });
    std::unique_lock<std::mutex> lock(run->mutex);
    if (!run->finished.wait_for(lock, bound, [&run] { return run->done; })) {
        // From here its log writes are dropped; its container is its own.
        run->abandoned = true;
        ++abandonedCount;
        lock.unlock();
        worker.detach();
        const std::string name = plugin->GetCallbacks()->GetName();
        TRootObject::GetCoreLogger()->Write(plugin, kWyxLogError,
                                            "Collector " + name + " did not finish within " + seconds(bound) +
                                                " seconds and was abandoned");
        return;
    }
    lock.unlock();
    worker.join();
    // What a failing query added stays, as it would without the bound.
    merge(run->staging, *container);
    if (run->error) std::rethrow_exception(run->error);
}

}  // namespace query_deadline

unsigned AbandonedQueryCount() { return query_deadline::abandonedCount; }
