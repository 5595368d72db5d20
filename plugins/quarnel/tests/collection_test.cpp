#include "quarnel_plugin.h"
#include "test_support.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/os_specific.h"

namespace {

typedef std::vector<std::string> Texts;

class Collection : public QuarnelTest {
protected:
    int getData(const std::vector<const char*>& names) {
        return QuarnelGetData(kPlugin, kContainer, const_cast<const char**>(names.data()),
                              static_cast<int>(names.size()));
    }
    void usePluginPath() {
        fake().pluginPath = "coll_quarnel" + TOSSpecific::kPluginExtension;
        writeFile("coll_quarnelentry.txt", shippedFormat());
    }
};

TEST_F(Collection, RegistersItsRecordFromTheLoadEntry) {
    EXPECT_TRUE(registerQuarnel());
    const WyxPluginRecord& r = fake().record;
    EXPECT_EQ(24u, r.size);
    EXPECT_EQ(&QuarnelNoop, r.first);
    EXPECT_EQ(&QuarnelNoop, r.second);
    EXPECT_EQ(&QuarnelGetData, r.data);
    EXPECT_EQ(&QuarnelGetInfo, r.info);
    EXPECT_EQ(nullptr, r.sixth);
    ASSERT_NE(nullptr, fake().handleAddress);
    EXPECT_NE(nullptr, *fake().handleAddress) << "the framework filled the handle variable";
    EXPECT_TRUE(fake().log.empty());
    EXPECT_EQ(0, QuarnelNoop());
}

TEST_F(Collection, RefusedRegistrationFailsTheLoad) {
    fake().registerStatus = 5;
    EXPECT_FALSE(registerQuarnel());
    ASSERT_EQ(1u, fake().log.size());
    EXPECT_EQ(nullptr, fake().log[0].plugin);
    EXPECT_EQ(0, fake().log[0].type);
    EXPECT_EQ("Couldn't register plugin!", fake().log[0].text);
}

TEST_F(Collection, CollectsOnlyForTheUlkClass) {
    struct Names {
        std::vector<const char*> names;
        int collections;
    } cases[] = {{{}, 0},
                 {{"VARNSG_TRAVLog"}, 0},
                 {{"varnsg_ulklog", "VARNSG_ULKLog "}, 0},
                 {{"VARNSG_TRAVLog", "VARNSG_ULKLog"}, 1},
                 {{"VARNSG_ULKLog", "VARNSG_ULKLog"}, 2}};
    for (const Names& c : cases) {
        fake().reset();
        resetDriver();
        EXPECT_EQ(0, getData(c.names));
        EXPECT_EQ(c.collections, driver().constructed);
        EXPECT_EQ(c.collections, driver().destroyed);
        Texts expected(c.collections, " No SP's installed on the system ");
        expected.push_back("Returning from QuarnelGetData");
        EXPECT_EQ(expected, fake().texts(3));
        EXPECT_TRUE(fake().texts(0).empty());
        for (const FakeLogLine& line : fake().log) EXPECT_EQ(kPlugin, line.plugin);
    }
    EXPECT_EQ(0, QuarnelGetData(kPlugin, kContainer, nullptr, 3));
}

struct Branch {
    const char* name;
    bool dot, comm, tolm, qmxStop, ulk;
    int status;
    Texts driverCalls;
    const char* logLine;   // the branch's own message
    int logType;
    const char* spStatus;  // what it records of the processor, and why
    const char* spReason;
};

class CollectionBranch : public Collection, public ::testing::WithParamInterface<Branch> {};

TEST_P(CollectionBranch, AsksTheDriverNoFurtherThanNeeded) {
    const Branch& b = GetParam();
    usePluginPath();
    driver().dot = b.dot;
    driver().comm = b.comm;
    driver().tolm = b.tolm;
    driver().qmxStop = b.qmxStop;
    driver().ulkLibrary = b.ulk;
    EXPECT_EQ(b.status, collectServiceProcessorLogs(kPlugin, kContainer, nullptr, 0));
    EXPECT_EQ(b.driverCalls, driver().calls);
    EXPECT_TRUE(fake().logged(b.logLine, b.logType)) << b.logLine;
    EXPECT_EQ(1, driver().constructed);
    ASSERT_EQ(1u, fake().facts.size());
    EXPECT_EQ("VARNSG_ServiceProcessorStatus", fake().facts[0].className);
    EXPECT_EQ(b.spStatus, fake().facts[0].get("Status"));
    EXPECT_EQ(b.spReason, fake().facts[0].get("Reason"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CollectionBranch,
    ::testing::Values(
        Branch{"none", false, true, false, true, false, 0, {"isDotcommand", "isTolm"},
               " No SP's installed on the system ", 3, "Not found", ""},
        Branch{"dotDead", true, false, false, true, false, 3, {"isDotcommand", "checkSPComm"},
               "Unknown Error Code, Possible causes: Driver/SP failure!", 0, "Not read",
               "Unknown Error Code, Possible causes: Driver/SP failure!"},
        Branch{"dot", true, true, false, true, false, 0, {"isDotcommand", "checkSPComm", "discoverSPs"},
               "Getting Dotcommand log", 3, "Found", ""},
        Branch{"tolmQmxStopped", false, true, true, true, true, 0,
               {"isDotcommand", "isTolm", "isQmxStop", "tolm first"}, "Getting TRAV log", 3, "Found", ""},
        Branch{"tolmNoUlk", false, true, true, false, false, 0,
               {"isDotcommand", "isTolm", "isQmxStop", "isUlklibrary", "tolm first"}, "Getting TRAV log", 3, "Found",
               ""},
        Branch{"pellomon", false, true, true, false, true, 0,
               {"isDotcommand", "isTolm", "isQmxStop", "isUlklibrary"},
               "Ulklibrary present on the system..can not get TRAV log", 1, "Not read",
               "TRAV logs are not being collected due to the presence of Pellomon."}),
    [](const ::testing::TestParamInfo<Branch>& info) { return info.param.name; });

TEST_F(Collection, FailedCollectionIsReportedByTheDataCallback) {
    driver().dot = true;
    driver().comm = false;
    const std::vector<const char*> names = {"VARNSG_ULKLog"};
    EXPECT_EQ(0, getData(names));
    EXPECT_EQ((Texts{"Unknown Error Code, Possible causes: Driver/SP failure!",
                     "Error occurred while collecting sp firmware and vpd data"}),
              fake().texts(0));
    EXPECT_EQ("Returning from QuarnelGetData", fake().log.back().text);
}

TEST_F(Collection, ReaderStatusIsPassedOn) {
    driver().dot = true;
    fake().inject("wyxGetPluginPath");
    EXPECT_EQ(3, collectServiceProcessorLogs(kPlugin, kContainer, nullptr, 0));
    EXPECT_TRUE(fake().logged("wyxGetPluginPath failed! ", 0));
}

TEST_F(Collection, PellomonLeavesAHeavyHittersRecord) {
    driver().tolm = true;
    driver().qmxStop = false;
    driver().ulkLibrary = true;
    setSystemTime(point(2026, 3, 4, 5, 6, 7, -300));
    EXPECT_EQ(0, collectServiceProcessorLogs(kPlugin, kContainer, nullptr, 0));
    ASSERT_EQ(1u, fake().instances.size());
    const FakeInstance& record = fake().instances[0];
    EXPECT_EQ("VARNSG_HeavyHittersLogRecord", record.className);
    EXPECT_EQ((Texts{"CreationClassName", "LogCreationClassName", "LogName", "RecordID", "Message",
                     "MessageTimestamp"}),
              record.names());
    EXPECT_EQ("VARNSG_HeavyHittersLogRecord", record.get("CreationClassName"));
    EXPECT_EQ("VARNSG_HeavyHittersMessageLog", record.get("LogCreationClassName"));
    EXPECT_EQ("VARN OSK heavy hitters log", record.get("LogName"));
    EXPECT_EQ("0", record.get("RecordID"));
    EXPECT_EQ("TRAV logs are not being collected due to the presence of Pellomon.", record.get("Message"));
    EXPECT_EQ("2026-03-04 05:06:07 -300", record.get("MessageTimestamp"));
    EXPECT_EQ(0, driver().count("tolm first"));
}

struct RecordFailure {
    const char* key;
    const char* message;
    size_t propertiesLeft;
};

class PellomonFailure : public Collection, public ::testing::WithParamInterface<RecordFailure> {};

TEST_P(PellomonFailure, EndsTheCollection) {
    driver().tolm = true;
    driver().qmxStop = false;
    driver().ulkLibrary = true;
    fake().inject(GetParam().key);
    const std::vector<const char*> names = {"VARNSG_ULKLog"};
    EXPECT_EQ(0, getData(names));
    EXPECT_EQ((Texts{GetParam().message, "Error occurred while collecting sp firmware and vpd data"}),
              fake().texts(0));
    EXPECT_FALSE(fake().logged("Ulklibrary present on the system..can not get TRAV log", 1));
    if (GetParam().propertiesLeft == 99) {
        EXPECT_TRUE(fake().instances.empty());
    } else {
        ASSERT_EQ(1u, fake().instances.size());
        EXPECT_EQ(GetParam().propertiesLeft, fake().instances[0].properties.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PellomonFailure,
    ::testing::Values(
        RecordFailure{"wyxAddClass VARNSG_HeavyHittersLogRecord", "Error adding VARNSG_HeavyHittersLogRecord", 99},
        RecordFailure{"wyxAddProperty CreationClassName", "Error adding ClassCreationName field for VARNSG_Quarnel",
                      0},
        RecordFailure{"wyxAddProperty LogCreationClassName",
                      "Error adding LogCreationClassName field for VARNSG_HeavyHittersLogRecord", 1},
        RecordFailure{"wyxAddProperty LogName", "Error adding LogName field for VARNSG_HeavyHittersLogRecord", 2},
        RecordFailure{"wyxAddProperty RecordID", "Error adding RecordID field for VARNSG_HeavyHittersLogRecord", 3},
        RecordFailure{"wyxAddProperty Message", "Error adding Message field for VARNSG_HeavyHittersLogRecord", 4},
        RecordFailure{"wyxAddDateTimeProperty MessageTimestamp",
                      "Error adding MessageTimestamp for VARNSG_HeavyHittersLogRecord", 5}));

}  // namespace
