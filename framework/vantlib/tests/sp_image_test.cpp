#include <gtest/gtest.h>

#include "sp_image.h"

namespace {

typedef std::vector<unsigned char> Bytes;

TEST(SpImage, ReadsEveryDirective) {
    const std::string text =
        "# two processors\r\n"
        "kind dot\n"
        "comm fail   # trailing comment\n"
        "qmxstop no\n"
        "ulklibrary yes\n"
        "boxid 0x1F\n"
        "firmware  TX1.2.3   build 45\n"
        "processor\n"
        "\tclock 1A 0c 0E 00 0A 1E 00\n"
        "timezone 0C FE\n"
        "entry 01 02\n"
        "entry fail 03\n"
        "entry\n"
        "processor\n"
        "clock empty\n"
        "timezone fail\n";
    SpImage image;
    std::string error;
    ASSERT_TRUE(parseSpImage(text, &image, &error)) << error;
    EXPECT_EQ(SpImage::Dot, image.kind);
    EXPECT_FALSE(image.commOk);
    EXPECT_FALSE(image.qmxStop);
    EXPECT_TRUE(image.ulkLibrary);
    EXPECT_EQ(31, image.boxId);
    EXPECT_EQ("TX1.2.3 build 45", image.firmware);
    ASSERT_EQ(2u, image.processors.size());
    const SpProcessor& p0 = image.processors[0];
    EXPECT_TRUE(p0.clock.fixed.ok);
    EXPECT_EQ((Bytes{0x1A, 0x0C, 0x0E, 0x00, 0x0A, 0x1E, 0x00}), p0.clock.fixed.bytes);
    EXPECT_EQ((Bytes{0x0C, 0xFE}), p0.timezone.bytes);
    ASSERT_EQ(3u, p0.entries.size());
    EXPECT_TRUE(p0.entries[0].ok);
    EXPECT_FALSE(p0.entries[1].ok);
    EXPECT_EQ(Bytes{0x03}, p0.entries[1].bytes);
    EXPECT_TRUE(p0.entries[2].ok);
    EXPECT_TRUE(p0.entries[2].bytes.empty());
    const SpProcessor& p1 = image.processors[1];
    EXPECT_TRUE(p1.clock.fixed.ok);
    EXPECT_TRUE(p1.clock.fixed.bytes.empty());
    EXPECT_FALSE(p1.timezone.ok);
    EXPECT_TRUE(p1.entries.empty());
}

TEST(SpImage, DefaultsWhenDirectivesAreAbsent) {
    SpImage image;
    std::string error;
    ASSERT_TRUE(parseSpImage("kind tolm\nentry 00 01 02 03\n", &image, &error));
    EXPECT_EQ(SpImage::Tolm, image.kind);
    EXPECT_TRUE(image.commOk);
    EXPECT_TRUE(image.qmxStop);
    EXPECT_FALSE(image.ulkLibrary);
    EXPECT_EQ(0, image.boxId);
    EXPECT_EQ("", image.firmware);
    EXPECT_EQ(1u, image.travEntries.size());

    EXPECT_FALSE(parseSpImage("processor\n", &image, &error));
    ASSERT_TRUE(parseSpImage("", &image, &error));
    EXPECT_EQ(SpImage::None, image.kind);
    ASSERT_TRUE(parseSpImage("kind dot\nprocessor\n", &image, &error));
    EXPECT_FALSE(image.processors[0].clock.fixed.ok);
    EXPECT_FALSE(image.processors[0].timezone.ok);
}

// A clock relative to the system's: the reply is made at the instant it is read.
struct RelativeClock {
    const char* line;
    long long utcNow;
    bool ok;
    Bytes bytes;
};

class SpImageRelativeClock : public ::testing::TestWithParam<RelativeClock> {};

TEST_P(SpImageRelativeClock, ReadsAsTheClockThatFarFromNow) {
    SpImage image;
    std::string error;
    ASSERT_TRUE(parseSpImage(std::string("kind dot\nprocessor\n") + GetParam().line + "\n", &image, &error)) << error;
    const SpReply reply = clockReplyAt(image.processors[0].clock, GetParam().utcNow);
    EXPECT_EQ(GetParam().ok, reply.ok);
    EXPECT_EQ(GetParam().bytes, reply.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, SpImageRelativeClock,
    ::testing::Values(
        // 2026-12-08 23:02:56 UTC, as it is and a day and five hours behind (a day behind at UTC-5)
        RelativeClock{"clock now", 1796770976, true, {0x1A, 0x0C, 0x08, 0x00, 0x17, 0x02, 0x38}},
        RelativeClock{"clock now -104400", 1796770976, true, {0x1A, 0x0C, 0x07, 0x00, 0x12, 0x02, 0x38}},
        // across a year's end and a leap day
        RelativeClock{"clock now +1", 1798761599, true, {0x1B, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00}},
        RelativeClock{"clock now -86400", 1709251200, true, {0x18, 0x02, 0x1D, 0x00, 0x00, 0x00, 0x00}},
        // a year the reply's byte cannot hold: the clock cannot be read
        RelativeClock{"clock now -1000000000", 1796770976, false, {}},
        // a fixed clock is the same whenever it is read
        RelativeClock{"clock 01 02", 0, true, {0x01, 0x02}}));

struct BadImage {
    const char* text;
    const char* error;
};

class SpImageRejects : public ::testing::TestWithParam<BadImage> {};

TEST_P(SpImageRejects, NamesTheLine) {
    SpImage image;
    std::string error;
    EXPECT_FALSE(parseSpImage(GetParam().text, &image, &error));
    EXPECT_EQ(GetParam().error, error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpImageRejects,
    ::testing::Values(
        BadImage{"kind dot\nfrobnicate\n", "line 2: unknown directive 'frobnicate'"},
        BadImage{"kind ipmi\n", "line 1: kind must be dot, tolm or none"},
        BadImage{"kind\n", "line 1: kind needs a value"},
        BadImage{"kind dot dot\n", "line 1: unexpected 'dot' after kind"},
        BadImage{"kind dot\nkind tolm\n", "line 2: kind given twice"},
        BadImage{"comm maybe\n", "line 1: comm must be ok or fail"},
        BadImage{"qmxstop true\n", "line 1: qmxstop must be yes or no"},
        BadImage{"ulklibrary 1\n", "line 1: ulklibrary must be yes or no"},
        BadImage{"firmware\n", "line 1: firmware needs a value"},
        BadImage{"firmware 1\nfirmware 2\n", "line 2: firmware given twice"},
        BadImage{"boxid five\n", "line 1: bad box ID 'five'"},
        BadImage{"boxid -1\n", "line 1: bad box ID '-1'"},
        BadImage{"boxid 0x\n", "line 1: bad box ID '0x'"},
        BadImage{"boxid 99999999999\n", "line 1: bad box ID '99999999999'"},
        BadImage{"kind dot\nclock 01\n", "line 2: clock outside a processor"},
        BadImage{"kind dot\nprocessor\n\n# x\ntimezone 1\n", "line 5: '1' is not a hex byte"},
        BadImage{"kind dot\nprocessor\nclock 01 GG\n", "line 3: 'GG' is not a hex byte"},
        BadImage{"kind dot\nprocessor\nclock 123\n", "line 3: '123' is not a hex byte"},
        BadImage{"kind dot\nprocessor\nclock\n", "line 3: clock needs a value"},
        BadImage{"kind dot\nprocessor\nclock fail 01\n", "line 3: unexpected '01' after clock"},
        BadImage{"kind dot\nprocessor\nclock 01\nclock 02\n", "line 4: clock given twice for this processor"},
        BadImage{"kind dot\nprocessor\nclock now 1d\n", "line 3: bad clock offset '1d'"},
        BadImage{"kind dot\nprocessor\nclock now -\n", "line 3: bad clock offset '-'"},
        BadImage{"kind dot\nprocessor\nclock now +1 2\n", "line 3: unexpected '2' after clock"},
        BadImage{"kind dot\nprocessor\ntimezone now\n", "line 3: 'now' is not a hex byte"},
        BadImage{"kind dot\nprocessor\nentry fail zz\n", "line 3: 'zz' is not a hex byte"},
        BadImage{"kind dot\nprocessor extra\n", "line 2: unexpected 'extra' after processor"},
        BadImage{"entry 01\nkind dot\nprocessor\n", "line 1: entry before the first processor"},
        BadImage{"kind tolm\n\nprocessor\n", "line 3: processor in an image that is not of kind dot"}));

}  // namespace
