#include <gtest/gtest.h>

#include "text_table.h"

namespace {

TEST(RenderTextTable, AlignsColumnsAndWrapsWideCells) {
    const std::string table =
        RenderTextTable({"ID", "Message"}, {{"1", "short"}, {"22", "a message that is too wide"}}, 10, "  ");
    EXPECT_EQ(table,
              "  ID  Message\n"
              "  --  ----------\n"
              "  1   short\n"
              "  22  a message\n"
              "      that is\n"
              "      too wide\n");
}

TEST(RenderTextTable, MultiByteCharactersCountAsOneColumn) {
    const std::string table = RenderTextTable({"A", "B"}, {{"\xc3\xa9t\xc3\xa9", "x"}, {"abc", "y"}}, 20, "");
    EXPECT_EQ(table,
              "A    B\n"
              "---  -\n"
              "\xc3\xa9t\xc3\xa9  x\n"
              "abc  y\n");
}

TEST(RenderTextTable, MissingCellsStayEmptyAndLinesHaveNoTrailingBlanks) {
    const std::string table = RenderTextTable({"First", "Second"}, {{"x"}, {"", "y"}}, 20, "");
    EXPECT_EQ(table,
              "First  Second\n"
              "-----  ------\n"
              "x\n"
              "       y\n");
}

TEST(RenderTextPairs, AlignsValuesAndWrapsLongOnes) {
    const std::string pairs = RenderTextPairs({{"Name", "srv01"}, {"Serial number", "one two three"}}, 8, "  ");
    EXPECT_EQ(pairs,
              "  Name           srv01\n"
              "  Serial number  one two\n"
              "                 three\n");
}

}  // namespace
