#include <algorithm>

#include "test_support.h"
#include "trav_log.h"
#include "vantlib/SPLibrary.h"

namespace {

typedef std::vector<std::string> Texts;

// A TRAV reply of 33 bytes: time stamp, event type, data; the last byte is
// cleared by the reader.
Bytes travEntry(uint32_t stamp, unsigned char type, const Bytes& data = Bytes(), size_t size = 33) {
    Bytes r(std::max(size, 7 + data.size()), 0);
    const unsigned char head[] = {0xAA, 0xBB, static_cast<unsigned char>(stamp >> 24),
                                  static_cast<unsigned char>(stamp >> 16), static_cast<unsigned char>(stamp >> 8),
                                  static_cast<unsigned char>(stamp), type};
    std::copy(head, head + 7, r.begin());
    std::copy(data.begin(), data.end(), r.begin() + 7);
    r.resize(size);
    return r;
}

class TravLog : public QuarnelTest {
protected:
    int read() {
        SPLibrary library;
        return getTolmlog(library, kPlugin, kContainer);
    }
    void entries(int count) {
        for (int i = 0; i < count; ++i)
            driver().tolmReplies.push_back(reply(travEntry(86400u * i, 0xAD, {0x01})));
    }
};

TEST_F(TravLog, ReadsFifteenEntriesByDefault) {
    entries(40);
    EXPECT_EQ(0, read());
    ASSERT_EQ(15u, fake().instances.size());
    for (int i = 0; i < 15; ++i) EXPECT_EQ(std::to_string(i + 1), fake().instances[i].get("RecordID"));
    EXPECT_EQ(15u, driver().calls.size()) << "the 16th entry is never requested";
    EXPECT_EQ("tolm first", driver().calls[0]);
    EXPECT_EQ(14, driver().count("tolm next"));
    EXPECT_EQ(std::vector<int>(15, 33), driver().tolmLengthsOnEntry);
    EXPECT_EQ(0, driver().tolmDirtyBuffers) << "the reply buffer is cleared before every request";
    EXPECT_EQ("quarnel::getTolmlog() returning....", fake().log.back().text);
    EXPECT_EQ(15, static_cast<int>(fake().texts(3).size()) - 1) << "one success line per entry";
    ASSERT_EQ(15u, fake().progress.size()) << "one progress report per entry";
    EXPECT_EQ("TRAV log, entries read: 15", fake().progress.back());
}

TEST_F(TravLog, ReadsTheWholeLogWhenAsked) {
    struct Limit {
        int entries;
        size_t instances, requests;
    } cases[] = {{40, 40, 41}, {250, 200, 200}, {200, 200, 200}};
    for (const Limit& c : cases) {
        fake().reset();
        resetDriver();
        testsupport::SetEnv("WYX_RETRIEVE_FULL_H8_LOGS", "1");
        entries(c.entries);
        EXPECT_EQ(0, read());
        EXPECT_EQ(c.instances, fake().instances.size());
        EXPECT_EQ(c.requests, driver().calls.size());
        EXPECT_EQ(std::to_string(c.instances), fake().instances.back().get("RecordID"));
    }
}

TEST_F(TravLog, InstancePropertiesInOrder) {
    driver().tolmReplies.push_back(reply(travEntry(0, 0xA2, {0x0F, 0x0B, 0x01})));
    driver().boxId = 1;
    setSystemTime(point(2026, 7, 1, 12, 0, 0, -300));
    EXPECT_EQ(0, read());
    ASSERT_EQ(1u, fake().instances.size());
    const FakeInstance& i = fake().instances[0];
    EXPECT_EQ("VARNSG_TRAVLog", i.className);
    EXPECT_EQ((Texts{"CreationClassName", "LogCreationClassName", "LogName", "MessageTimestamp", "Message",
                     "RecordID"}),
              i.names());
    EXPECT_EQ("VARNSG_TRAVLog", i.get("CreationClassName"));
    EXPECT_EQ(" ", i.get("LogCreationClassName"));
    EXPECT_EQ("TRAVEvent", i.get("LogName"));
    EXPECT_EQ("1990-01-01 00:00:00 -300", i.get("MessageTimestamp")) << "UTC fields, the system's offset";
    EXPECT_EQ("Fan 3 missing. Fan 1 failed.", i.get("Message"));
    EXPECT_EQ("1", i.get("RecordID"));
    EXPECT_EQ((Texts{"wyxAddClass VARNSG_TRAVLog", "wyxAddProperty CreationClassName",
                     "wyxAddProperty LogCreationClassName", "wyxAddProperty LogName", "wyxNewCIMValueArray",
                     "wyxNewCIMDateTime", "wyxSetDateTime", "wyxAddDateTimeProperty MessageTimestamp",
                     "wyxAddProperty Message", "wyxAddProperty RecordID", "wyxDeleteCIMValueArray",
                     "wyxDeleteCIMDateTime"}),
              fake().calls);
}

TEST_F(TravLog, TimeStamps) {
    struct Stamp {
        uint32_t seconds;
        const char* text;
    } cases[] = {{0, "1990-01-01 00:00:00 +60"},          {86400, "1990-01-02 00:00:00 +60"},
                 {31535999, "1990-12-31 23:59:59 +60"},   {320673600, "2000-02-29 12:00:00 +60"},
                 {1516331648, "2038-01-19 03:14:08 +60"}, {0xFFFFFFFFu, "2126-02-07 06:28:15 +60"}};
    for (const Stamp& c : cases) driver().tolmReplies.push_back(reply(travEntry(c.seconds, 0xAD, {0})));
    EXPECT_EQ(0, read());
    ASSERT_EQ(6u, fake().instances.size());
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(cases[i].text, fake().instances[i].get("MessageTimestamp"));
}

TEST_F(TravLog, MessageKeepsNinetyNineCharacters) {
    const Bytes letters(200, 'm');
    driver().tolmReplies.push_back(reply(travEntry(0, 0xE1, letters, 200)));
    driver().tolmReplies.push_back(reply(travEntry(0, 0x42, {1, 2, 3})));
    // A driver that reports more than its buffer holds: read as 255 bytes.
    ScriptedReply oversized = reply(travEntry(0, 0xE1, letters, 255));
    oversized.length = 300;
    driver().tolmReplies.push_back(oversized);
    EXPECT_EQ(0, read());
    ASSERT_EQ(3u, fake().instances.size());
    EXPECT_EQ("BIOS message: " + std::string(85, 'm'), fake().instances[0].get("Message"));
    EXPECT_EQ("", fake().instances[1].get("Message")) << "an event type without a decoder";
    EXPECT_EQ("BIOS message: " + std::string(85, 'm'), fake().instances[2].get("Message"));
}

TEST_F(TravLog, EndOfTheLog) {
    struct End {
        std::vector<ScriptedReply> replies;
        size_t instances, requests;
    } cases[] = {
        {{}, 0, 1},                                                            // empty first reply
        {{reply(Bytes{1, 2, 3})}, 0, 1},                                       // 3 bytes: no entry
        {{reply(travEntry(0, 0xAD)), reply(Bytes(4, 0))}, 2, 3},               // 4 bytes: an entry
        {{reply(travEntry(0, 0xAD)), failedReply(33, travEntry(9, 0xAD)), reply(travEntry(0, 0xAD))}, 2, 2},
        {{failedReply(0)}, 0, 1},
        {{failedReply(ScriptedReply::kAuto)}, 1, 1},   // the length stays 33: a zero entry
    };
    int n = 0;
    for (const End& c : cases) {
        fake().reset();
        resetDriver();
        for (const ScriptedReply& r : c.replies) driver().tolmReplies.push_back(r);
        EXPECT_EQ(0, read()) << "case " << n;
        EXPECT_EQ(c.instances, fake().instances.size()) << "case " << n;
        EXPECT_EQ(c.requests, driver().calls.size()) << "case " << n;
        EXPECT_EQ("quarnel::getTolmlog() returning....", fake().log.back().text);
        EXPECT_EQ(3, fake().log.back().type);
        ++n;
    }
}

struct TravFailure {
    const char* key;
    const char* message;
    size_t propertiesLeft;   // of the failing (second) entry
};

class TravLogFailure : public TravLog, public ::testing::WithParamInterface<TravFailure> {};

TEST_P(TravLogFailure, EndsTheRead) {
    entries(3);
    fake().inject(GetParam().key, 2);
    EXPECT_EQ(3, read());
    EXPECT_EQ((Texts{GetParam().message}), fake().texts(0));
    EXPECT_FALSE(fake().logged("quarnel::getTolmlog() returning....", 3));
    EXPECT_EQ(2, static_cast<int>(driver().calls.size())) << "no further request";
    const size_t instances = std::string(GetParam().key).find("wyxAddClass") == 0 ? 1 : 2;
    ASSERT_EQ(instances, fake().instances.size());
    EXPECT_EQ(6u, fake().instances[0].properties.size());
    if (instances == 2) {
        EXPECT_EQ(GetParam().propertiesLeft, fake().instances[1].properties.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TravLogFailure,
    ::testing::Values(
        TravFailure{"wyxAddClass VARNSG_TRAVLog", "Error adding instance of VARNSG_Quarnel Class", 0},
        TravFailure{"wyxAddProperty CreationClassName", "Error adding CreationClassName field for VARNSG_Quarnel", 0},
        TravFailure{"wyxAddProperty LogCreationClassName",
                    "Error adding LogCreationClassName field for VARNSG_Quarnel", 1},
        TravFailure{"wyxAddProperty LogName", "Error adding LogName field for VARNSG_Quarnel", 2},
        TravFailure{"wyxNewCIMValueArray", "failed to create CIM value array", 3},
        TravFailure{"wyxNewCIMDateTime", "failed to create CIMDateTime", 3},
        TravFailure{"wyxSetDateTime", "Error Setting DateTime for VARNSG_Quarnel", 3},
        TravFailure{"wyxAddDateTimeProperty MessageTimestamp", "Error adding MessageTimestamp for VARNSG_Quarnel", 3},
        TravFailure{"wyxAddProperty Message", "Error adding ErrorData field for VARNSG_Quarnel", 4},
        TravFailure{"wyxAddProperty RecordID", "Error adding instance field for VARNSG_Quarnel", 5}));

}  // namespace
