#include <cstring>

#include "clock_normaliser.h"
#include "dot_command.h"
#include "entry_format.h"
#include "test_support.h"

namespace {

typedef std::vector<std::string> Texts;
typedef std::vector<std::pair<std::string, std::string>> Properties;

class EntryFormat : public QuarnelTest {
protected:
    // Decodes one entry with the format text; the instance's properties.
    Properties decode(const std::string& format, const Bytes& entry, int processor = 0, int count = 1,
                      bool* ok = nullptr) {
        writeFile("fmt_test.txt", format);
        buffer_.assign(kDotReplySize, 0);
        std::copy(entry.begin(), entry.end(), buffer_.begin());
        ClockNormaliser clock(kPlugin, kContainer);
        EntryFormatContext context = {kPlugin, kContainer, "fmt_test.txt", processor, count, &clock};
        fake().instances.clear();
        wyxAddClass(kContainer, "VARNSG_ULKLog");
        const bool decoded = decodeUlkEntry(context, buffer_.data(), static_cast<int>(entry.size()));
        if (ok) *ok = decoded;
        else EXPECT_TRUE(decoded);
        Properties result;
        for (const FakeProperty& p : fake().instances.back().properties) result.push_back({p.name, p.value});
        return result;
    }
    Bytes buffer_;
};

struct FormatCase {
    const char* name;
    std::string format;
    Bytes entry;
    Properties properties;
};

class EntryFormatTable : public EntryFormat, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(EntryFormatTable, Decodes) { EXPECT_EQ(GetParam().properties, decode(GetParam().format, GetParam().entry)); }

Bytes forty() {
    Bytes b(40);
    for (int i = 0; i < 40; ++i) b[i] = static_cast<unsigned char>('A' + i % 26);
    b[20] = 0;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryFormatTable,
    ::testing::Values(
        FormatCase{"DateBeforeYearAndMonth", "b|1|Date\nb|1|Year\nb|1|Month\n", {14, 5, 3}, {{"Date", "0/14/0"}}},
        FormatCase{"DateAfterYearAndMonth", "b|1|Year\nb|1|Month\nb|1|Date\n", {5, 3, 14}, {{"Date", "3/14/5"}}},
        FormatCase{"Weekdays", "b|1|Day\nb|1|Day\nb|1|Day\nb|1|Day\n", {0, 1, 7, 8},
                   {{"Day", "Unknown"}, {"Day", "Sunday"}, {"Day", "Saturday"}, {"Day", "Unknown"}}},
        FormatCase{"WideBinaryField", "b|4|Widget\nb|1|Next\n", {7, 9, 9, 9, 200}, {{"Widget", "7"}, {"Next", "200"}}},
        FormatCase{"RestOfTheEntry", "b|10|Head\na|x|Text\n", forty(),
                   {{"Head", "65"}, {"Text", "KLMNOPQRST VWXYZABCDEFGHIJKLM"}}},
        FormatCase{"EmptyLineRepeatsTheField", "b|1|Hours\n\nb|1|Minutes\nb|1|Seconds\n", {9, 11, 5, 0},
                   {{"Time", "11:5:0"}, {"MessageTimestamp", "1970-01-02 00:00:00 +0"}}},
        FormatCase{"TimeWithoutLeadingZeros", "b|1|Year\nb|1|Month\nb|1|Date\nb|1|Hours\nb|1|Minutes\nb|1|Seconds\n",
                   {5, 3, 14, 9, 5, 0},
                   {{"Date", "3/14/5"}, {"Time", "9:5:0"}, {"MessageTimestamp", "2005-03-14 09:05:00 +0"}}},
        FormatCase{"NoSecondsNoTime", "b|1|Year\nb|1|Month\nb|1|Date\nb|1|Hours\nb|1|Minutes\n", {5, 3, 14, 9, 5},
                   {{"Date", "3/14/5"}}},
        FormatCase{"LastLineWithoutLineEnd", "b|1|One\nb|1|Two", {1, 2}, {{"One", "1"}}},
        FormatCase{"OnlyLineWithoutLineEnd", "b|1|One", {1, 2}, {{"One", "1"}}},
        FormatCase{"EndLineStops", "b|1|One\nd|0|end\nb|1|Two\n", {1, 2}, {{"One", "1"}}},
        FormatCase{"EndLineWithoutLineEnd", "b|1|One\nd", {1, 2}, {{"One", "1"}}},
        FormatCase{"UnknownTypeIsSkipped", "z|1|Zed\nb|1|One\nq\nb|1|Two\n", {1, 2}, {{"One", "1"}, {"Two", "2"}}},
        FormatCase{"UnknownTypeAtTheEnd", "b|1|One\nz|1|Zed", {1, 2}, {{"One", "1"}}},
        FormatCase{"LeadingEmptyLineIsSkipped", "\nb|1|One\n", {1}, {{"One", "1"}}},
        FormatCase{"EmptyFile", "", {1}, {}},
        FormatCase{"RunsOfBars", "||b|||2||Two Words|ignored\n|b|1\n", {4, 5, 6}, {{"Two Words", "4"}, {"Two Words", "6"}}},
        FormatCase{"MissingTokensKeepTheirValues", "b|2|Pair\na\n", {1, 2, 'h', 'i'}, {{"Pair", "1"}, {"Pair", "hi"}}},
        FormatCase{"LengthReadLikeAtoi", "b| 2abc|A\nb|abc|B\nb|+1|C\n", {1, 2, 3, 4}, {{"A", "1"}, {"B", "3"}, {"C", "3"}}},
        FormatCase{"LongLineIsReadWhole",
                   "b|1|" + std::string(60, 'N') + "\nb|0000000000000000000000000000000000000000000000001|M\n", {1, 2},
                   {{std::string(60, 'N'), "1"}, {"M", "2"}}},
        // Longer lines than any buffer of the stream, and a CR LF across a
        // kilobyte's edge (the CR is byte 3071).
        FormatCase{"LineLongerThanAReadIsWhole",
                   "b|1|" + std::string(2500, 'N') + "\nb|1|" + std::string(562, 'O') + "\r\nb|1|P\n", {1, 2, 3},
                   {{std::string(2500, 'N'), "1"}, {std::string(562, 'O'), "2"}, {"P", "3"}}},
        FormatCase{"LongTextIsStoredWhole", "b|1|S\na|x|Text\n",
                   [] {
                       Bytes b(202, 't');
                       b[0] = 1;
                       return b;
                   }(),
                   {{"S", "1"}, {"Text", std::string(200, 't')}}},
        FormatCase{"FieldsBeyondTheReply", "b|3|A\na|4|Text\nb|1|B\na|x|Rest\n", {1, 2, 3, 'a', 'b'},
                   {{"A", "1"}, {"Text", "ab  "}, {"B", "0"}, {"Rest", ""}}},
        FormatCase{"NegativeLengthsReadNothingOutside", "b|-5|A\nb|1|B\na|3|C\n", {1, 2, 3},
                   {{"A", "1"}, {"B", "0"}, {"C", ""}}},
        FormatCase{"ShippedLayoutWithoutSeconds", "a|16|LoggingSource\n", {'S', 'P'}, {{"LoggingSource", "SP" + std::string(14, ' ')}}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST_F(EntryFormat, CrLfDecodesLikeLf) {
    const std::string lf = shippedFormat();
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_NE(lf, crlf);
    const Bytes entry = {2, 26, 12, 1, 3, 8, 30, 15, 0x42, 0, 'S', 'P', 0, 0, 0, 0, 0, 0, 0, 0,
                         0, 0, 0, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', 0};
    const Properties fromLf = decode(lf, entry);
    EXPECT_EQ(8u, fromLf.size());
    EXPECT_EQ(fromLf, decode(crlf, entry));
    // An empty line repeats the field; a carriage return in the length token is dropped.
    EXPECT_EQ(decode("b|1|Hours\n\nb|1|Minutes\nb|1|Seconds\na|x|Rest\n", entry),
              decode("b|1|Hours\r\n\r\nb|1|Minutes\r\nb|1|Seconds\r\na|x\r|Rest\r\n", entry));
}

TEST_F(EntryFormat, ZeroBytesBecomeBlanksInTheReply) {
    decode("a|x|Text\n", Bytes{'a', 0, 'b', 0, 0});
    EXPECT_EQ(' ', buffer_[1]);
    EXPECT_EQ(' ', buffer_[3]);
    EXPECT_EQ(0, buffer_[4]) << "the last byte is not part of the field";
}

TEST_F(EntryFormat, LoggingSourceNamesTheNodeWhenThereAreSeveral) {
    struct Node {
        int processor, count;
        const char* value;
    } cases[] = {{0, 1, "SP1"}, {0, 2, "Node 1: SP1"}, {1, 2, "Node 2: SP1"}, {2, 3, "Node 3: SP1"}};
    for (const Node& c : cases) {
        EXPECT_EQ((Properties{{"LoggingSource", c.value}, {"Other", "SP1"}}),
                  decode("a|3|LoggingSource\na|3|Other\n", Bytes{'S', 'P', '1', 'S', 'P', '1', 0}, c.processor,
                         c.count));
    }
}

TEST_F(EntryFormat, LogsEachLine) {
    decode("b|1|A\na|1|B\nd|0|end\n", Bytes{1, 'x', 0});
    EXPECT_EQ((Texts{" parsing quarnelentry.txt ",
                     "quarnel::getDotcommandlog() parsing for data type, length , description",
                     "quarnel::getDotcommandlog() parsing binary data",
                     "quarnel::getDotcommandlog() parsing for data type, length , description",
                     "quarnel::getDotcommandlog() parsing for data type, length , description"}),
              fake().texts(3));
}

TEST_F(EntryFormat, MissingFileEndsTheRead) {
    ClockNormaliser clock(kPlugin, kContainer);
    EntryFormatContext context = {kPlugin, kContainer, "no_such_quarnelentry.txt", 0, 1, &clock};
    Bytes buffer(kDotReplySize, 0);
    EXPECT_FALSE(decodeUlkEntry(context, buffer.data(), 10));
    EXPECT_EQ((Texts{"Failed to open quarnelentry.txt!"}), fake().texts(0));
}

struct PropertyFailure {
    const char* key;
    const char* message;
    size_t propertiesLeft;
};

class EntryFormatFailure : public EntryFormat, public ::testing::WithParamInterface<PropertyFailure> {};

TEST_P(EntryFormatFailure, EndsTheRead) {
    bool ok = true;
    fake().inject(GetParam().key);
    const Properties left = decode("b|1|Year\nb|1|Month\nb|1|Date\nb|1|Day\nb|1|Hours\nb|1|Minutes\nb|1|Seconds\n"
                                   "b|1|Code\na|2|Text\nb|1|After\n",
                                   Bytes{26, 12, 1, 3, 8, 30, 15, 9, 'o', 'k', 1, 0}, 0, 1, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetParam().propertiesLeft, left.size());
    EXPECT_EQ((Texts{GetParam().message}), fake().texts(0));
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryFormatFailure,
    ::testing::Values(PropertyFailure{"wyxAddProperty Date", "Error adding Date for VARNSG_Quarnel", 0},
                      PropertyFailure{"wyxAddProperty Day", "Error adding Day for VARNSG_Quarnel", 1},
                      PropertyFailure{"wyxAddProperty Time", "Error adding Time for VARNSG_Quarnel", 2},
                      PropertyFailure{"wyxAddDateTimeProperty MessageTimestamp",
                                      "Error adding MessageTimestamp for VARNSG_Quarnel", 3},
                      PropertyFailure{"wyxAddProperty Code", "Error adding data for VARNSG_Quarnel", 4},
                      PropertyFailure{"wyxAddProperty Text", "Error adding data for VARNSG_Quarnel", 5}));

}  // namespace
