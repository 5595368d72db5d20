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
    EXPECT_TRUE(p0.clock.ok);
    EXPECT_EQ((Bytes{0x1A, 0x0C, 0x0E, 0x00, 0x0A, 0x1E, 0x00}), p0.clock.bytes);
    EXPECT_EQ((Bytes{0x0C, 0xFE}), p0.timezone.bytes);
    ASSERT_EQ(3u, p0.entries.size());
    EXPECT_TRUE(p0.entries[0].ok);
    EXPECT_FALSE(p0.entries[1].ok);
    EXPECT_EQ(Bytes{0x03}, p0.entries[1].bytes);
    EXPECT_TRUE(p0.entries[2].ok);
    EXPECT_TRUE(p0.entries[2].bytes.empty());
    const SpProcessor& p1 = image.processors[1];
    EXPECT_TRUE(p1.clock.ok);
    EXPECT_TRUE(p1.clock.bytes.empty());
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
    EXPECT_FALSE(image.processors[0].clock.ok);
    EXPECT_FALSE(image.processors[0].timezone.ok);
}

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
        BadImage{"kind dot\nprocessor\nentry fail zz\n", "line 3: 'zz' is not a hex byte"},
        BadImage{"kind dot\nprocessor extra\n", "line 2: unexpected 'extra' after processor"},
        BadImage{"entry 01\nkind dot\nprocessor\n", "line 1: entry before the first processor"},
        BadImage{"kind tolm\n\nprocessor\n", "line 3: processor in an image that is not of kind dot"}));

}  // namespace
