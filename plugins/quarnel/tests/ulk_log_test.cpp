#include "test_support.h"
#include "ulk_log.h"
#include "ulk_test_support.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/os_specific.h"

namespace {

typedef std::vector<std::string> Texts;

class UlkLog : public QuarnelTest {
protected:
    void SetUp() override {
        QuarnelTest::SetUp();
        fake().pluginPath = "ulk_quarnel" + TOSSpecific::kPluginExtension;
        writeFile("ulk_quarnelentry.txt", shippedFormat());
    }
    int read() {
        SPLibrary library;
        return getDotcommandlog(library, kPlugin, kContainer);
    }
    // A processor whose clock equals the system clock (2026-12-08 10:00:00, UTC+1).
    ScriptedProcessor& addProcessor(int entries) {
        ScriptedProcessor p;
        p.clock = reply(clockBytes(2026, 12, 8, 10, 0, 0));
        p.timezone = reply(Bytes{100, 0});
        for (int i = 0; i < entries; ++i) {
            UlkEntry e;
            e.message = "entry " + std::to_string(i + 1);
            p.entries.push_back(reply(e.bytes()));
        }
        driver().processors.push_back(p);
        return driver().processors.back();
    }
};

TEST_F(UlkLog, NoProcessors) {
    EXPECT_EQ(0, read());
    EXPECT_EQ((Texts{"discoverSPs"}), driver().calls);
    EXPECT_TRUE(fake().instances.empty());
    EXPECT_EQ("quarnel::getDotcommandlog() returning ..", fake().log.back().text);
    EXPECT_EQ(3, fake().log.back().type);
}

TEST_F(UlkLog, TwoProcessorsWithThreeAndTwoEntries) {
    addProcessor(3);
    addProcessor(2);
    EXPECT_EQ(0, read());
    ASSERT_EQ(5u, fake().instances.size());
    const char* sources[] = {"Node 1: SP", "Node 1: SP", "Node 1: SP", "Node 2: SP", "Node 2: SP"};
    const char* messages[] = {"entry 1", "entry 2", "entry 3", "entry 1", "entry 2"};
    for (int i = 0; i < 5; ++i) {
        const FakeInstance& e = fake().instances[i];
        EXPECT_EQ(std::to_string(i + 1), e.get("RecordID"));
        EXPECT_EQ(std::string(sources[i]) + std::string(14, ' '), e.get("LoggingSource"));
        EXPECT_EQ(messages[i], e.get("Message"));
    }
    const FakeInstance& first = fake().instances[0];
    EXPECT_EQ("VARNSG_ULKLog", first.className);
    EXPECT_EQ((Texts{"CreationClassName", "LogCreationClassName", "LogName", "RecordID", "Severity", "Date",
                     "Day", "Time", "MessageTimestamp", "EventID", "LoggingSource", "Message"}),
              first.names());
    EXPECT_EQ("VARNSG_ULKLog", first.get("CreationClassName"));
    EXPECT_EQ(" ", first.get("LogCreationClassName"));
    EXPECT_EQ("ULKEvent", first.get("LogName"));
    EXPECT_EQ("2", first.get("Severity"));
    EXPECT_EQ("12/1/26", first.get("Date"));
    EXPECT_EQ("Tuesday", first.get("Day"));
    EXPECT_EQ("8:30:15", first.get("Time"));
    EXPECT_EQ("2026-12-01 08:30:15 +60", first.get("MessageTimestamp"));
    EXPECT_EQ("66", first.get("EventID"));
    EXPECT_EQ((Texts{"discoverSPs", "dot 0 clock", "dot 0 zone", "dot 0 first", "dot 0 next", "dot 0 next",
                     "dot 0 next", "dot 1 clock", "dot 1 zone", "dot 1 first", "dot 1 next", "dot 1 next"}),
              driver().calls);
    EXPECT_EQ(0, driver().badCapacities);
    EXPECT_TRUE(fake().logged("No more log entries to be read ", 3));
    EXPECT_TRUE(fake().texts(0).empty());
    EXPECT_TRUE(fake().texts(1).empty()) << "no summary lines when every entry was dated and moved";
    EXPECT_EQ((Texts{"processor 1 log, entries read: 1", "processor 1 log, entries read: 2",
                     "processor 1 log, entries read: 3", "processor 2 log, entries read: 1",
                     "processor 2 log, entries read: 2"}),
              fake().progress)
        << "one report per entry read, counted per processor";
}

TEST_F(UlkLog, SingleProcessorSourceIsPlain) {
    addProcessor(1);
    EXPECT_EQ(0, read());
    ASSERT_EQ(1u, fake().instances.size());
    EXPECT_EQ("SP" + std::string(14, ' '), fake().instances[0].get("LoggingSource"));
}

TEST_F(UlkLog, PathIsCutAtTheFirstFileName) {
    const std::string name = "quarnel" + TOSSpecific::kPluginExtension;
    fake().pluginPath = "mid_" + name + "/sub/" + name;
    writeFile("mid_quarnelentry.txt", shippedFormat());
    addProcessor(1);
    EXPECT_EQ(0, read());
    ASSERT_EQ(1u, fake().instances.size());
    EXPECT_EQ("entry 1", fake().instances[0].get("Message"));
}

TEST_F(UlkLog, PathFailures) {
    struct PathCase {
        const char* inject;
        std::string path;
        const char* message;
    } cases[] = {{"wyxGetPluginPath", "ulk_quarnel" + TOSSpecific::kPluginExtension, "wyxGetPluginPath failed! "},
                 {"", "/opt/plugins/Quarnel" + TOSSpecific::kPluginExtension, "Incorrect path name "},
                 {"", "/opt/plugins/quarnel.pi", "Incorrect path name "},
                 {"", "", "Incorrect path name "}};
    for (const PathCase& c : cases) {
        fake().reset();
        resetDriver();
        addProcessor(1);
        fake().pluginPath = c.path;
        if (*c.inject) fake().inject(c.inject);
        EXPECT_EQ(3, read());
        EXPECT_EQ((Texts{c.message}), fake().texts());
        EXPECT_TRUE(driver().calls.empty()) << "no processor is discovered";
    }
}

TEST_F(UlkLog, EmptyFirstReply) {
    addProcessor(0);
    EXPECT_EQ(0, read());
    EXPECT_TRUE(fake().instances.empty());
    EXPECT_TRUE(fake().logged("No more log entries to be read ", 3));
}

TEST_F(UlkLog, FirstLogCommandIsSentWhateverTheLengthHolds) {
    // The clock answers with an empty reply and the time zone fails: the
    // shared length is 0 when the log read begins.
    ScriptedProcessor& p = addProcessor(2);
    p.clock = reply(Bytes());
    ScriptedProcessor& q = addProcessor(1);
    q.clock = failedReply();   // leaves the 0 of the previous processor's end
    EXPECT_EQ(0, read());
    EXPECT_EQ(3u, fake().instances.size());
    EXPECT_EQ(1, driver().count("dot 0 first"));
    EXPECT_EQ(1, driver().count("dot 1 first"));
}

TEST_F(UlkLog, FailedCommandIsFollowedByANextEntryCommand) {
    ScriptedProcessor& p = addProcessor(0);
    UlkEntry e;
    p.entries.push_back(failedReply());
    p.entries.push_back(reply(e.bytes()));
    EXPECT_EQ(0, read());
    EXPECT_EQ((Texts{" cmd failed "}), fake().texts(0));
    EXPECT_EQ((Texts{"discoverSPs", "dot 0 clock", "dot 0 zone", "dot 0 first", "dot 0 next", "dot 0 next"}),
              driver().calls);
    EXPECT_EQ(1u, fake().instances.size());
}

TEST_F(UlkLog, GivesUpAProcessorAfterSixteenFailuresInARow) {
    ScriptedProcessor& p = addProcessor(0);
    UlkEntry e;
    for (int i = 0; i < 15; ++i) p.entries.push_back(failedReply());
    p.entries.push_back(reply(e.bytes()));   // the count starts again after a success
    for (int i = 0; i < 20; ++i) p.entries.push_back(failedReply());
    p.entries.push_back(reply(e.bytes()));   // never reached
    addProcessor(1);
    EXPECT_EQ(0, read());
    Texts expected(31, " cmd failed ");
    expected.push_back("Too many failed commands; skipping the rest of this processor's log");
    EXPECT_EQ(expected, fake().texts(0));
    EXPECT_EQ(2u, fake().instances.size()) << "one of each processor";
    EXPECT_EQ(31, driver().count("dot 0 next"));
    EXPECT_TRUE(fake().logged("quarnel::getDotcommandlog() returning ..", 3));
}

TEST_F(UlkLog, FailingLogNameOnTheFourthEntry) {
    addProcessor(5);
    addProcessor(1);
    fake().inject("wyxAddProperty LogName", 4);
    EXPECT_EQ(3, read());
    ASSERT_EQ(4u, fake().instances.size());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(12u, fake().instances[i].properties.size());
    EXPECT_EQ((Texts{"CreationClassName", "LogCreationClassName"}), fake().instances[3].names());
    EXPECT_EQ((Texts{"Error adding LogName field for VARNSG_Quarnel"}), fake().texts(0));
    EXPECT_EQ(0, driver().count("dot 1 clock")) << "later processors are not read";
    EXPECT_FALSE(fake().logged("quarnel::getDotcommandlog() returning ..", 3));
}

struct LeadingFailure {
    const char* key;
    const char* message;
    size_t propertiesLeft;
};

class UlkLeadingFailure : public UlkLog, public ::testing::WithParamInterface<LeadingFailure> {};

TEST_P(UlkLeadingFailure, EndsTheRead) {
    addProcessor(2);
    fake().inject(GetParam().key);
    EXPECT_EQ(3, read());
    EXPECT_EQ((Texts{GetParam().message}), fake().texts(0));
    EXPECT_EQ(1, driver().count("dot 0 first"));
    EXPECT_EQ(0, driver().count("dot 0 next"));
    if (GetParam().propertiesLeft == 99) {
        EXPECT_TRUE(fake().instances.empty());
    } else {
        ASSERT_EQ(1u, fake().instances.size());
        EXPECT_EQ(GetParam().propertiesLeft, fake().instances[0].properties.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, UlkLeadingFailure,
    ::testing::Values(
        LeadingFailure{"wyxAddClass VARNSG_ULKLog", "Error adding VARNSG_Quarnel", 99},
        LeadingFailure{"wyxAddProperty CreationClassName", "Error adding ClassCreationName field for VARNSG_Quarnel",
                       0},
        LeadingFailure{"wyxAddProperty LogCreationClassName",
                       "Error adding LogCreationClassName field for VARNSG_Quarnel", 1},
        LeadingFailure{"wyxAddProperty LogName", "Error adding LogName field for VARNSG_Quarnel", 2},
        LeadingFailure{"wyxAddProperty RecordID", "Error adding RecordID field for VARNSG_Quarnel", 3},
        LeadingFailure{"wyxAddProperty Severity", "Error adding data for VARNSG_Quarnel", 4}));

TEST_F(UlkLog, MissingFormatFileEndsTheRead) {
    addProcessor(2);
    fake().pluginPath = "nofmt_quarnel" + TOSSpecific::kPluginExtension;
    EXPECT_EQ(3, read());
    EXPECT_EQ((Texts{"Failed to open quarnelentry.txt!"}), fake().texts(0));
    ASSERT_EQ(1u, fake().instances.size());
    EXPECT_EQ(4u, fake().instances[0].properties.size()) << "the leading properties stay";
}

TEST_F(UlkLog, ReplyLongerThanTheBufferIsReadWithinIt) {
    ScriptedProcessor& p = addProcessor(0);
    UlkEntry e;
    e.message = std::string(3000, 'z');
    ScriptedReply r = reply(e.bytes());
    r.length = 5000;
    p.entries.push_back(r);
    EXPECT_EQ(0, read());
    ASSERT_EQ(1u, fake().instances.size());
    EXPECT_EQ(std::string(2048 - 26 - 1, 'z'), fake().instances[0].get("Message"));
}

}  // namespace
