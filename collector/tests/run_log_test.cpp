#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "collector_app.h"
#include "wyxcore/container.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin.h"
#include "wyxcore/root_object.h"

namespace {

class Callbacks : public IPluginCallbacks, public IPluginWriteCallbacks {
public:
    explicit Callbacks(std::string name) : name_(name) {}
    int GetType() override { return 1; }
    std::string GetName() override { return name_; }
    void WriteContainer(TContainer*, const std::string& path) override {
        paths.push_back(path);
        if (fail) throw std::runtime_error("disk on fire");
    }
    std::vector<std::string> paths;
    bool fail = false;

private:
    std::string name_;
};

class Plugin : public IPlugin {
public:
    explicit Plugin(IPluginCallbacks* callbacks) : callbacks_(callbacks) {}
    IPluginCallbacks* GetCallbacks() override { return callbacks_; }
    bool IsLoaded() override { return true; }
    std::string GetFileName() override { return "fake"; }

private:
    IPluginCallbacks* callbacks_;
};

void declare(TContainer& c, const char* name, std::vector<const char*> strings, bool withType = false,
             bool withTimestamp = false) {
    TCIMClass* cls = c.AddClass(name);
    for (const char* p : strings) cls->DeclareProperty(p, kCIMString);
    if (withType) cls->DeclareProperty("Type", kCIMUInt16);
    if (withTimestamp) cls->DeclareProperty("MessageTimestamp", kCIMDateTime);
}

// The four run-log classes as the schema declares them.
void declareRunLogClasses(TContainer& c, bool withSource = true) {
    declare(c, "VARNSG_OSKMessageLog", {"CreationClassName", "Name"});
    declare(c, "VARNSG_HeavyHittersMessageLog", {"CreationClassName", "Name"});
    std::vector<const char*> record = {"CreationClassName", "LogName", "LogCreationClassName", "Message", "RecordID"};
    std::vector<const char*> core = record;
    if (withSource) core.push_back("Source");
    declare(c, "VARNSG_OSKLogRecord", core, true, true);
    declare(c, "VARNSG_HeavyHittersLogRecord", record, false, true);
}

std::string text(const TCIMInstance* i, const char* name) {
    const TCIMValue* v = i->GetPropertyValue(name);
    return v ? v->GetText() : "<absent>";
}

class RunLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TRootObject::GetCoreLogger()->ClearEntries();
        app.xmlWriter = &xmlPlugin;
        app.noPrompt = true;
    }
    std::vector<TCIMInstance*> all(TContainer& c, const char* cls) { return c.FindClass(cls)->EnumerateInstances(true); }

    Callbacks xml{"XML"};
    Plugin xmlPlugin{&xml};
    Callbacks quarnel{"quarnel"};
    Plugin quarnelPlugin{&quarnel};
    CollectorApp app;
};

TEST_F(RunLogTest, TurnsEveryEntryIntoARecordNumberedOverBothLogs) {
    TContainer c(TContainer::kEmpty);
    declareRunLogClasses(c);
    ILogger* log = TRootObject::GetCoreLogger();
    log->Write(nullptr, 2, "started");
    log->Write(&quarnelPlugin, 100, "clock off by a day");
    log->Write(&quarnelPlugin, 0, "cmd failed");
    log->Write(nullptr, -1, "odd type");

    testing::internal::CaptureStdout();
    app.writeXmlWithRunLog(&c, true, "out.xml.gz");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Adding VARN OSK log entries to XML file.\nWriting XML data to file out.xml.gz\n");
    EXPECT_EQ(xml.paths, std::vector<std::string>{"out.xml.gz"});

    auto core = all(c, "VARNSG_OSKLogRecord");
    ASSERT_EQ(core.size(), 3u);
    EXPECT_EQ(text(core[0], "Source"), "Core");
    EXPECT_EQ(text(core[0], "Type"), "2");
    EXPECT_EQ(text(core[0], "RecordID"), "0");
    EXPECT_EQ(text(core[0], "Message"), "started");
    EXPECT_EQ(text(core[0], "LogName"), "VARN OSK core log");
    EXPECT_EQ(text(core[0], "LogCreationClassName"), "VARNSG_OSKMessageLog");
    EXPECT_EQ(text(core[0], "CreationClassName"), "VARNSG_OSKLogRecord");
    EXPECT_EQ(core[0]->GetPropertyValue("MessageTimestamp")->GetType(), kCIMDateTime);
    EXPECT_EQ(text(core[1], "Source"), "quarnel");
    EXPECT_EQ(text(core[1], "Type"), "0");
    EXPECT_EQ(text(core[1], "RecordID"), "2");
    EXPECT_EQ(text(core[2], "Type"), "65535");
    EXPECT_EQ(text(core[2], "RecordID"), "3");

    auto heavy = all(c, "VARNSG_HeavyHittersLogRecord");
    ASSERT_EQ(heavy.size(), 1u);
    EXPECT_EQ(text(heavy[0], "RecordID"), "1");
    EXPECT_EQ(text(heavy[0], "Source"), "<absent>");
    EXPECT_EQ(text(heavy[0], "Message"), "clock off by a day");
    EXPECT_EQ(text(heavy[0], "LogName"), "VARN OSK heavy hitters log");
    EXPECT_EQ(text(heavy[0], "LogCreationClassName"), "VARNSG_HeavyHittersMessageLog");

    auto coreLog = all(c, "VARNSG_OSKMessageLog");
    ASSERT_EQ(coreLog.size(), 1u);
    EXPECT_EQ(text(coreLog[0], "Name"), "VARN OSK core log");
    EXPECT_EQ(text(all(c, "VARNSG_HeavyHittersMessageLog")[0], "Name"), "VARN OSK heavy hitters log");
    EXPECT_TRUE(log->GetEntries().empty());
}

TEST_F(RunLogTest, ASecondCallKeepsOneLogInstanceAndNumbersFromZeroAgain) {
    TContainer c(TContainer::kEmpty);
    declareRunLogClasses(c);
    ILogger* log = TRootObject::GetCoreLogger();
    log->Write(nullptr, 1, "first");
    testing::internal::CaptureStdout();
    app.writeXmlWithRunLog(&c, false, "dump.xml.gz");
    log->Write(nullptr, 1, "second");
    app.writeXmlWithRunLog(&c, false, "dump.xml.gz");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(all(c, "VARNSG_OSKMessageLog").size(), 1u);
    EXPECT_EQ(all(c, "VARNSG_HeavyHittersMessageLog").size(), 1u);
    auto core = all(c, "VARNSG_OSKLogRecord");
    ASSERT_EQ(core.size(), 2u);
    EXPECT_EQ(text(core[1], "Message"), "second");
    EXPECT_EQ(text(core[1], "RecordID"), "0");
    EXPECT_EQ(xml.paths.size(), 2u);
}

TEST_F(RunLogTest, AFailingRecordStopsTheRecordsButTheFileIsStillWritten) {
    TContainer c(TContainer::kEmpty);
    declareRunLogClasses(c, false);   // no Source: setting it throws
    ILogger* log = TRootObject::GetCoreLogger();
    log->Write(nullptr, 100, "kept");
    log->Write(nullptr, 2, "fails");
    log->Write(nullptr, 100, "skipped");
    testing::internal::CaptureStdout();
    app.writeXmlWithRunLog(&c, false, "x.xml.gz");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("ERROR: Exception ", 0), 0u) << out;
    EXPECT_NE(out.find(" thrown when adding VARN OSK log entries to XML file.\n"), std::string::npos);
    EXPECT_EQ(all(c, "VARNSG_HeavyHittersLogRecord").size(), 1u);
    EXPECT_EQ(xml.paths.size(), 1u);
    EXPECT_EQ(log->GetEntries().size(), 3u);   // not cleared: the step after the records was skipped
}

TEST_F(RunLogTest, AWriterWithoutTheWriteInterfaceWritesNothingAndSaysNothing) {
    class Bare : public IPluginCallbacks {
        int GetType() override { return 1; }
        std::string GetName() override { return "XML"; }
    } bare;
    Plugin plugin(&bare);
    app.xmlWriter = &plugin;
    TContainer c(TContainer::kEmpty);
    declareRunLogClasses(c);
    testing::internal::CaptureStdout();
    app.writeXmlWithRunLog(&c, false, "x.xml.gz");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

using RunLogDeathTest = RunLogTest;

TEST_F(RunLogDeathTest, AMissingClassStopsTheRun) {
    const char* const classes[] = {"VARNSG_OSKMessageLog", "VARNSG_HeavyHittersMessageLog", "VARNSG_OSKLogRecord",
                                   "VARNSG_HeavyHittersLogRecord"};
    for (int missing = 0; missing < 4; ++missing) {
        TContainer c(TContainer::kEmpty);
        TContainer full(TContainer::kEmpty);
        declareRunLogClasses(full);
        for (int i = 0; i < 4; ++i) {
            if (i == missing) continue;
            TCIMClass* cls = c.AddClass(classes[i]);
            for (const TCIMPropertyDecl& d : full.FindClass(classes[i])->GetPropertyDecls())
                cls->DeclareProperty(d.name, d.type);
        }
        EXPECT_EXIT(
            {
                std::cout.rdbuf(std::cerr.rdbuf());
                app.writeXmlWithRunLog(&c, false, "x.xml.gz");
            },
            ::testing::ExitedWithCode(1), std::string("ERROR: Couldn't find ") + classes[missing]);
    }
}

TEST_F(RunLogDeathTest, AWriterFailureStopsTheRun) {
    TContainer c(TContainer::kEmpty);
    declareRunLogClasses(c);
    xml.fail = true;
    EXPECT_EXIT(
        {
            std::cout.rdbuf(std::cerr.rdbuf());
            app.writeXmlWithRunLog(&c, false, "x.xml.gz");
        },
        ::testing::ExitedWithCode(1), "ERROR: Couldn't write XML file.");
}

}  // namespace
