// The comparison's page and text carry hostile values as text: nothing a
// collection holds becomes markup, and no record breaks the text's lines.
#include <gtest/gtest.h>

#include "comparison.h"
#include "comparison_output.h"

namespace {

Comparison hostile() {
    CollectionFacts a, b;
    a.serial = b.serial = "KQ1<b>";
    LogRecordFact record;
    record.log = "ULK";
    record.recordId = "9";
    record.message = "<script>alert(1)</script>\nsecond line";
    b.records = {record};
    b.versions = {{"Firmware", "BMC \"x\" & <y>", "2.0"}};
    PartVerdictFact part;
    part.kind = "Disk";
    part.key = "<u>";
    part.name = "Disk <u>sd&a</u>";
    part.verdict = "Failed";
    part.evidence = 1;
    b.partVerdicts = {part};
    Comparison c;
    c.oldFile = "old<i>.xml";
    c.newFile = "new.xml";
    Compare(a, b, &c);
    return c;
}

TEST(ComparisonOutput, ThePageEscapesEveryValue) {
    const std::string page = RenderComparisonPage(hostile());
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("BMC &quot;x&quot; &amp; &lt;y&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<u>"), std::string::npos);
    EXPECT_NE(page.find("Disk &lt;u&gt;sd&amp;a&lt;/u&gt;"), std::string::npos);
    EXPECT_NE(page.find("Content-Security-Policy"), std::string::npos);
}

TEST(ComparisonOutput, TheTextKeepsEachRowOnItsLine) {
    const std::string text = RenderComparisonText(hostile());
    size_t rows = 0;
    for (size_t at = text.find("ULK"); at != std::string::npos; at = text.find("ULK", at + 1)) ++rows;
    EXPECT_EQ(rows, 1u);
    EXPECT_EQ(text.find("\nsecond line"), std::string::npos);
    EXPECT_NE(text.find("second line"), std::string::npos);
}

}  // namespace
