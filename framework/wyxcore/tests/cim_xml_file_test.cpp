#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "expect_status.h"
#include "test_support.h"
#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

using testsupport::Describe;
using testsupport::TempDir;

std::string allBytes() {
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes.push_back(static_cast<char>(c));
    return bytes;
}

std::string gzip(const std::string& data) {
    z_stream zs = {};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 32, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(out.size() - zs.avail_out);
    deflateEnd(&zs);
    return out;
}

void add(TCIMClass* cimClass, const std::vector<std::pair<std::string, TCIMValue> >& props) {
    TCIMInstance* instance = new TCIMInstance(cimClass);
    for (const auto& prop : props) instance->SetPropertyValue(prop.first, prop.second);
    instance->Commit();
}

// A container with the schema, a class of every type and texts that XML
// cannot carry as they are.
void fill(TContainer* container) {
    TCIMClass* all = container->AddClass("Test_AllTypes");
    const TCIMType types[] = {kCIMString, kCIMBoolean, kCIMChar16, kCIMDateTime, kCIMUInt8, kCIMSInt8, kCIMUInt16,
                              kCIMSInt16, kCIMUInt32, kCIMSInt32, kCIMUInt64, kCIMSInt64, kCIMReal32, kCIMReal64};
    for (TCIMType type : types) all->DeclareProperty(std::string("P_") + CIMTypeName(type), type);
    all->DeclareProperty("NeverSet", kCIMString);
    all->SetProvider("fixture_flat", 1);
    TCIMDateTime when;
    when.Set(2026, 12, 8, 5, 31, 7, 123456, -300);
    TCIMDateTime span;
    span.Set(3, 4, 5, 6, 7);
    add(all, {{"P_string", TCIMValue("text")},
              {"P_boolean", TCIMValue::FromText(kCIMBoolean, "true")},
              {"P_char16", TCIMValue::FromText(kCIMChar16, "\xE9")},
              {"P_datetime", TCIMValue(when)},
              {"P_uint8", TCIMValue::FromText(kCIMUInt8, "255")},
              {"P_sint8", TCIMValue::FromText(kCIMSInt8, "-128")},
              {"P_uint16", TCIMValue(static_cast<uint16_t>(65535))},
              {"P_sint16", TCIMValue::FromText(kCIMSInt16, "-32768")},
              {"P_uint32", TCIMValue::FromText(kCIMUInt32, "4294967295")},
              {"P_sint32", TCIMValue::FromText(kCIMSInt32, "-2147483648")},
              {"P_uint64", TCIMValue::FromText(kCIMUInt64, "18446744073709551615")},
              {"P_sint64", TCIMValue::FromText(kCIMSInt64, "-9223372036854775808")},
              {"P_real32", TCIMValue::FromText(kCIMReal32, "1.5")},
              {"P_real64", TCIMValue::FromText(kCIMReal64, "-2.5e-10")}});
    add(all, {{"P_datetime", TCIMValue(span)}, {"P_string", TCIMValue("")}});
    add(all, {});
    TCIMClass* texts = container->AddClass("Test_Texts");
    texts->DeclareProperty("Text", kCIMString);
    const char* const samples[] = {"& < > \" ' ]]>", "line\r\nnext\rcr\nlf", "  leading and trailing  ", " ",
                                   "\t", "<![CDATA[x]]>", "&amp; is not decoded twice", "\xEF\xBB\xBF bom",
                                   "\xC3\xA9 utf-8 bytes stay bytes"};
    for (const char* sample : samples) add(texts, {{"Text", TCIMValue(sample)}});
    add(texts, {{"Text", TCIMValue(allBytes())}});
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) high.push_back(static_cast<char>(c));
    add(texts, {{"Text", TCIMValue(high)}});
    // Names travel through the same escaping.
    TCIMClass* odd = container->AddClass("Test_\xE9&<Name>");
    odd->DeclareProperty("Prop\"'\xFF", kCIMString);
    add(odd, {{"Prop\"'\xFF", TCIMValue("v")}});
    TCIMClass* log = container->FindClass("VARNSG_OSKLogRecord");
    ASSERT_NE(nullptr, log);
    add(log, {{"Source", TCIMValue("Core")}, {"Type", TCIMValue(static_cast<uint16_t>(2))},
              {"MessageTimestamp", TCIMValue(when)}, {"RecordID", TCIMValue("0")}});
}

std::string dtdPath() {
    const std::string source = testsupport::RequiredEnv("NORBIX_SOURCE_DIR");
    for (const char* relative : {"/../shared/cim/DSP0203_2.2.0.dtd", "/../../shared/cim/DSP0203_2.2.0.dtd"}) {
        const std::string path = source + relative;
        if (std::filesystem::exists(path)) return path;
    }
    return std::string();
}

bool onWindows() { return TOSSpecific::kFileSeparator == "\\"; }

TEST(CIMXMLFile, RoundTripKeepsEveryClassInstanceAndByte) {
    TempDir dir;
    TContainer original;
    fill(&original);
    const std::string path = dir.path("round.xml.gz");
    TCIMXMLFile::Write(&original, path);
    const std::string written = testsupport::ReadBytes(path);
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ('\x1F', written[0]);
    EXPECT_EQ('\x8B', written[1]);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.path()), {}));  // no temporary file

    TContainer copy;
    const std::vector<std::string> names = copy.PopulateContainerFromFile(path);
    EXPECT_EQ(Describe(original), Describe(copy));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "Test_AllTypes"));
    const TCIMClass* texts = copy.FindClass("Test_Texts");
    ASSERT_NE(nullptr, texts);
    EXPECT_EQ(allBytes(), texts->EnumerateInstances(true)[9]->GetPropertyValue("Text")->GetText());
    const TCIMInstance* empty = copy.FindClass("Test_AllTypes")->EnumerateInstances(true)[1];
    ASSERT_NE(nullptr, empty->GetPropertyValue("P_string"));
    EXPECT_EQ("", empty->GetPropertyValue("P_string")->GetText());
    EXPECT_EQ(nullptr, empty->GetPropertyValue("NeverSet"));

    // Written again, the file is the same document.
    TCIMXMLFile::Write(&copy, dir.path("again.xml.gz"));
    EXPECT_EQ(TCIMXMLFile::Render(&original), TCIMXMLFile::Render(&copy));
}

std::string gunzip(const std::string& data) {
    z_stream zs = {};
    inflateInit2(&zs, 16 + MAX_WBITS);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[65536];
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - zs.avail_out);
    }
    inflateEnd(&zs);
    return rc == Z_STREAM_END && zs.avail_in == 0 ? out : "(not one complete gzip stream)";
}

// The writer compresses a big document piece by piece: the file must still be
// one gzip stream of exactly the rendered document, and read back the same.
TEST(CIMXMLFile, DocumentOfManyPiecesIsOneStreamAndRoundTrips) {
    TempDir dir;
    TContainer original(TContainer::kEmpty);
    TCIMClass* big = original.AddClass("Test_Big");
    big->DeclareProperty("Text", kCIMString);
    big->DeclareProperty("When", kCIMDateTime);
    TCIMDateTime when;
    when.Set(2026, 12, 8, 5, 31, 7, 0, 60);
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text = "entry " + std::to_string(i) + " & <more> " + std::string(static_cast<size_t>(i % 97), '\x01');
        add(big, {{"Text", TCIMValue(text)}, {"When", TCIMValue(when)}});
    }
    const std::string document = TCIMXMLFile::Render(&original);
    ASSERT_GT(document.size(), 4u * 1024 * 1024);
    const std::string path = dir.path("big.xml.gz");
    TCIMXMLFile::Write(&original, path);
    EXPECT_EQ(document, gunzip(testsupport::ReadBytes(path)));
    TContainer copy(TContainer::kEmpty);
    copy.PopulateContainerFromFile(path);
    EXPECT_EQ(Describe(original), Describe(copy));
    EXPECT_EQ(when, copy.FindClass("Test_Big")->EnumerateInstances(true)[19999]->GetPropertyValue("When")->GetDateTime());
}

// NORBIX_KEEP_XML names a path that receives the file as well, so that the
// end-to-end tests can check the Windows build's file with xmllint.
TEST(CIMXMLFile, WrittenFileIsValidAgainstTheDtd) {
    TempDir dir;
    TContainer container;
    fill(&container);
    const std::string path = dir.path("valid.xml.gz");
    TCIMXMLFile::Write(&container, path);
    if (const char* keep = std::getenv("NORBIX_KEEP_XML")) TCIMXMLFile::Write(&container, keep);
    const std::string dtd = dtdPath();
    if (onWindows() || dtd.empty()) GTEST_SKIP() << "xmllint and the DTD are checked on the native build";
    const std::string command = "xmllint --nonet --noout --dtdvalid '" + dtd + "' '" + path + "' 2>'" +
                                dir.path("lint.txt") + "'";
    EXPECT_EQ(0, std::system(command.c_str())) << testsupport::ReadBytes(dir.path("lint.txt"));
}

TEST(CIMXMLFile, ReadsPlainFilesOfOtherToolsInTheirEncoding) {
    TempDir dir;
    const std::string path = dir.path("latin1.xml");
    testsupport::WriteBytes(path,
                            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                            "<!DOCTYPE CIM SYSTEM \"CIM_DTD_V22.dtd\">\r\n"
                            "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\"><DECLARATION><DECLGROUP>"
                            "<VALUE.OBJECT><CLASS NAME=\"Other_Thing\" SUPERCLASS=\"CIM_Thing\">"
                            "<QUALIFIER NAME=\"Description\" TYPE=\"string\"><VALUE>x</VALUE></QUALIFIER>"
                            "<PROPERTY NAME=\"Label\" TYPE=\"string\"/><METHOD NAME=\"Reset\" TYPE=\"uint32\"/>"
                            "</CLASS></VALUE.OBJECT>"
                            "<VALUE.OBJECT><INSTANCE CLASSNAME=\"Other_Thing\">"
                            "<PROPERTY NAME=\"Label\" TYPE=\"string\"><VALUE>caf\xE9\r\n2</VALUE></PROPERTY>"
                            "<PROPERTY NAME=\"Extra\" TYPE=\"uint32\"><VALUE>42</VALUE></PROPERTY>"
                            "<PROPERTY NAME=\"Null\" TYPE=\"string\"/>"
                            "</INSTANCE></VALUE.OBJECT>"
                            "<VALUE.OBJECT><INSTANCE CLASSNAME=\"VARNSG_ComputerSystem\">"
                            "<PROPERTY NAME=\"Model\" TYPE=\"string\"><VALUE>8841-AB1</VALUE></PROPERTY>"
                            "<PROPERTY NAME=\"AssetTag\" TYPE=\"string\"><VALUE>A1</VALUE></PROPERTY>"
                            "</INSTANCE></VALUE.OBJECT>"
                            "</DECLGROUP></DECLARATION></CIM>");
    TContainer container;
    container.PopulateContainerFromFile(path);
    const TCIMClass* other = container.FindClass("Other_Thing");
    ASSERT_NE(nullptr, other);
    const TCIMInstance* thing = other->EnumerateInstances(true).at(0);
    EXPECT_EQ("caf\xE9\n2", thing->GetPropertyValue("Label")->GetText());
    EXPECT_EQ(kCIMUInt32, thing->GetPropertyValue("Extra")->GetType());
    EXPECT_EQ(nullptr, thing->GetPropertyValue("Null"));
    // A schema class gains the file's extra property and keeps its own.
    const TCIMClass* system = container.FindClass("VARNSG_ComputerSystem");
    EXPECT_NE(nullptr, system->FindProperty("AssetTag"));
    EXPECT_NE(nullptr, system->FindProperty("SerialNumber"));
    EXPECT_EQ("system", system->GetProvider());
}

// Arrays and references as other CIM tools write them: read, shown as a person
// reads a path, and written back so that the file reads the same again.
TEST(CIMXMLFile, ReadsArraysAndReferencesAndWritesThemBack) {
    const std::string file =
        "<?xml version=\"1.0\"?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\"><DECLARATION><DECLGROUP>\n"
        "<VALUE.OBJECT><CLASS NAME=\"Other_Port\"><PROPERTY.ARRAY NAME=\"OperationalStatus\" TYPE=\"uint16\"/>"
        "<PROPERTY.REFERENCE NAME=\"Owner\" REFERENCECLASS=\"Other_System\"/></CLASS></VALUE.OBJECT>\n"
        "<VALUE.OBJECT><INSTANCE CLASSNAME=\"Other_Port\">"
        "<PROPERTY.ARRAY NAME=\"OperationalStatus\" TYPE=\"uint16\"><VALUE.ARRAY><VALUE>2</VALUE><VALUE>0x0A</VALUE>"
        "</VALUE.ARRAY></PROPERTY.ARRAY>"
        "<PROPERTY.ARRAY NAME=\"Names\" TYPE=\"string\"><VALUE.ARRAY><VALUE>a, b</VALUE><VALUE/></VALUE.ARRAY>"
        "</PROPERTY.ARRAY>"
        "<PROPERTY.ARRAY NAME=\"Seen\" TYPE=\"datetime\"><VALUE.ARRAY><VALUE>20261208053107.000000-000</VALUE>"
        "<VALUE>2026120805****.******+060</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>"
        "<PROPERTY.ARRAY NAME=\"Empty\" TYPE=\"boolean\"><VALUE.ARRAY/></PROPERTY.ARRAY>"
        "<PROPERTY.ARRAY NAME=\"Null\" TYPE=\"boolean\"/>"
        "<PROPERTY.REFERENCE NAME=\"Owner\"><VALUE.REFERENCE><INSTANCEPATH><NAMESPACEPATH><HOST>srv1</HOST>"
        "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"cimv2\"/></LOCALNAMESPACEPATH>"
        "</NAMESPACEPATH><INSTANCENAME CLASSNAME=\"Other_System\"><KEYBINDING NAME=\"Name\"><KEYVALUE>say \"hi\""
        "</KEYVALUE></KEYBINDING><KEYBINDING NAME=\"Id\"><KEYVALUE VALUETYPE=\"numeric\">7</KEYVALUE></KEYBINDING>"
        "</INSTANCENAME></INSTANCEPATH></VALUE.REFERENCE></PROPERTY.REFERENCE>"
        "</INSTANCE></VALUE.OBJECT>\n"
        "<VALUE.OBJECT><INSTANCE CLASSNAME=\"Other_Port\"><PROPERTY.REFERENCE NAME=\"Owner\"><VALUE.REFERENCE>"
        "<LOCALINSTANCEPATH><LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/></LOCALNAMESPACEPATH>"
        "<INSTANCENAME CLASSNAME=\"Other_Link\"><KEYBINDING NAME=\"To\"><VALUE.REFERENCE><INSTANCENAME "
        "CLASSNAME=\"Other_System\"><KEYVALUE VALUETYPE=\"string\">x</KEYVALUE></INSTANCENAME></VALUE.REFERENCE>"
        "</KEYBINDING></INSTANCENAME></LOCALINSTANCEPATH></VALUE.REFERENCE></PROPERTY.REFERENCE>"
        "</INSTANCE></VALUE.OBJECT>\n"
        "<VALUE.OBJECT><INSTANCE CLASSNAME=\"Other_Port\"><PROPERTY.REFERENCE NAME=\"Owner\"><VALUE.REFERENCE>"
        "<LOCALCLASSPATH><LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/></LOCALNAMESPACEPATH>"
        "<CLASSNAME NAME=\"Other_System\"/></LOCALCLASSPATH></VALUE.REFERENCE></PROPERTY.REFERENCE>"
        "</INSTANCE></VALUE.OBJECT>\n"
        "<VALUE.OBJECT><INSTANCE CLASSNAME=\"Other_Port\"><PROPERTY.REFERENCE NAME=\"Owner\"><VALUE.REFERENCE>"
        "<INSTANCENAME CLASSNAME=\"Other_Singleton\"/></VALUE.REFERENCE></PROPERTY.REFERENCE>"
        "</INSTANCE></VALUE.OBJECT>\n"
        "</DECLGROUP></DECLARATION></CIM>\n";
    TempDir dir;
    testsupport::WriteBytes(dir.path("other.xml"), file);
    TContainer container(TContainer::kEmpty);
    container.PopulateContainerFromFile(dir.path("other.xml"));
    const TCIMClass* port = container.FindClass("Other_Port");
    ASSERT_NE(nullptr, port);
    EXPECT_TRUE(port->FindProperty("OperationalStatus")->isArray);
    EXPECT_EQ("Other_System", port->FindProperty("Owner")->referenceClass);
    const std::vector<TCIMInstance*> ports = port->EnumerateInstances(true);
    ASSERT_EQ(4u, ports.size());
    const TCIMValue* status = ports[0]->GetPropertyValue("OperationalStatus");
    EXPECT_TRUE(status->IsArray());
    EXPECT_EQ((std::vector<std::string>{"2", "10"}), status->GetElements());
    EXPECT_EQ((std::vector<std::string>{"a, b", ""}), ports[0]->GetPropertyValue("Names")->GetElements());
    EXPECT_EQ((std::vector<std::string>{"20261208053107.000000+000", "2026120805****.******+060"}),
              ports[0]->GetPropertyValue("Seen")->GetElements());
    ASSERT_NE(nullptr, ports[0]->GetPropertyValue("Empty"));
    EXPECT_TRUE(ports[0]->GetPropertyValue("Empty")->GetElements().empty());
    EXPECT_EQ(nullptr, ports[0]->GetPropertyValue("Null"));
    const char* const paths[] = {
        "//srv1/root/cimv2:Other_System.Name=\"say \\\"hi\\\"\",Id=7",   // string keys quoted, numbers not
        "root:Other_Link.To=\"Other_System=\\\"x\\\"\"",                // a reference as a key, nested
        "root:Other_System",                                                // a class path
        "Other_Singleton=@",                                                // an instance without keys
    };
    for (size_t i = 0; i < 4; ++i) {
        const TCIMValue* owner = ports[i]->GetPropertyValue("Owner");
        ASSERT_NE(nullptr, owner);
        EXPECT_EQ(kCIMReference, owner->GetType());
        EXPECT_EQ(paths[i], owner->GetText());
    }

    const std::string path = dir.path("again.xml.gz");
    TCIMXMLFile::Write(&container, path);
    TContainer copy(TContainer::kEmpty);
    copy.PopulateContainerFromFile(path);
    EXPECT_EQ(Describe(container), Describe(copy));
    EXPECT_EQ(TCIMXMLFile::Render(&container), TCIMXMLFile::Render(&copy));
    const std::string dtd = dtdPath();
    if (onWindows() || dtd.empty()) return;
    const std::string command = "xmllint --nonet --noout --dtdvalid '" + dtd + "' '" + path + "' 2>'" +
                                dir.path("lint.txt") + "'";
    EXPECT_EQ(0, std::system(command.c_str())) << testsupport::ReadBytes(dir.path("lint.txt"));
}

TEST(CIMXMLFile, ReadsUtf16Files) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\"><DECLARATION>"
        "<DECLGROUP><VALUE.OBJECT><INSTANCE CLASSNAME=\"Other_Thing\"><PROPERTY NAME=\"Label\" TYPE=\"string\">"
        "<VALUE>caf\xE9 &amp; co</VALUE></PROPERTY></INSTANCE></VALUE.OBJECT></DECLGROUP></DECLARATION></CIM>";
    std::string utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    TempDir dir;
    testsupport::WriteBytes(dir.path("utf16.xml"), utf16);
    TContainer container(TContainer::kEmpty);
    EXPECT_EQ(std::vector<std::string>{"Other_Thing"}, container.PopulateContainerFromFile(dir.path("utf16.xml")));
    EXPECT_EQ("caf\xE9 & co",
              container.FindClass("Other_Thing")->EnumerateInstances(true).at(0)->GetPropertyValue("Label")->GetText());
}

const char kGoodStart[] =
    "<?xml version=\"1.0\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\"><DECLARATION><DECLGROUP>"
    "<VALUE.OBJECT><CLASS NAME=\"New_Class\"><PROPERTY NAME=\"A\" TYPE=\"string\"/></CLASS></VALUE.OBJECT>"
    "<VALUE.OBJECT><INSTANCE CLASSNAME=\"New_Class\"><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>a</VALUE>"
    "</PROPERTY></INSTANCE></VALUE.OBJECT>";
const char kGoodEnd[] = "</DECLGROUP></DECLARATION></CIM>";

std::string withBody(const std::string& body) { return kGoodStart + body + kGoodEnd; }

std::string instanceOf(const std::string& cimClass, const std::string& property) {
    return "<VALUE.OBJECT><INSTANCE CLASSNAME=\"" + cimClass + "\">" + property + "</INSTANCE></VALUE.OBJECT>";
}

std::string repeated(const std::string& piece, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += piece;
    return out;
}

struct BadFile {
    const char* what;
    std::string bytes;
    int status;
};

// A fault of the document names its line, and a bad value names its form.
TEST(CIMXMLFile, FaultsNameTheLineOfTheFile) {
    const struct {
        const char* what;
        std::string bytes;
        const char* detail;
    } cases[] = {
        {"bad value on line 4",
         withBody("\n\n\n" + instanceOf("New_Class", "<PROPERTY NAME=\"N\" TYPE=\"uint8\"><VALUE>0x</VALUE></PROPERTY>")),
         "New_Class.N is not a uint8: '0x': a hexadecimal integer without digits (line 4)"},
        {"bad array element on line 3",
         withBody("\n\n" + instanceOf("New_Class", "<PROPERTY.ARRAY NAME=\"D\" TYPE=\"datetime\"><VALUE.ARRAY>"
                                                    "<VALUE>2026*208053107.000000+000</VALUE></VALUE.ARRAY>"
                                                    "</PROPERTY.ARRAY>")),
         "New_Class.D is not a datetime[]: element 0 '2026*208053107.000000+000': a date-time field masked in part "
         "(line 3)"},
        {"unknown type on line 2",
         withBody("\n" + instanceOf("New_Class", "<PROPERTY NAME=\"B\" TYPE=\"reference\"/>")),
         "'reference' (line 2)"},
        {"not well-formed on line 3", withBody("\n\n<VALUE.OBJECT>"), "(line 3)"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::WriteBytes(dir.path("bad.xml"), c.bytes);
        TContainer container(TContainer::kEmpty);
        try {
            container.PopulateContainerFromFile(dir.path("bad.xml"));
            ADD_FAILURE() << "accepted";
        } catch (const TWYXException& e) {
            const std::string detail = e.GetDetail();
            EXPECT_EQ(detail.size() - std::strlen(c.detail), detail.rfind(c.detail)) << "[" << detail << "]";
        }
    }
}

TEST(CIMXMLFile, BadFilesThrowTheirStatusAndLeaveTheContainerAsItWas) {
    const std::string good = withBody("");
    const std::string compressed = gzip(good);
    std::string corrupt = compressed;
    for (size_t i = 12; i < corrupt.size() - 8; i += 3) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
    // Files of a few megabytes, inflated ahead of the parser on a second
    // thread: a fault in the XML or in the stream is still the one reported.
    const std::string instance =
        instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>x</VALUE></PROPERTY>");
    const std::string badInstance = instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE><B/>"
                                                            "</VALUE></PROPERTY>");
    std::string half;
    for (int i = 0; i < 12000; ++i) half += instance;
    const std::string big = gzip(withBody(half + half));
    const std::string badInTheMiddle = gzip(withBody(half + badInstance + half));
    // The stream's fault may already have been met ahead of the parser's, or not yet.
    const std::string badNearTheEnd = gzip(withBody(half + badInstance + instance + instance));
    const BadFile cases[] = {
        {"big file, truncated", big.substr(0, big.size() * 3 / 4), kWyxFileTruncated},
        {"big file, bad in the middle", badInTheMiddle, kWyxFileNotCimXml},
        {"big file, bad in the middle and truncated", badInTheMiddle.substr(0, badInTheMiddle.size() - 6),
         kWyxFileTruncated},
        {"big file, bad near the end and truncated", badNearTheEnd.substr(0, badNearTheEnd.size() - 6),
         kWyxFileTruncated},
        {"truncated gzip", compressed.substr(0, compressed.size() / 2), kWyxFileTruncated},
        {"gzip header only", compressed.substr(0, 10), kWyxFileTruncated},
        {"corrupt gzip", corrupt, kWyxFileTruncated},
        {"gzip with trailing garbage", compressed + "garbage", kWyxFileTruncated},
        {"plain text", "hello, world\n", kWyxFileNotCompressedOrXml},
        {"empty file", "", kWyxFileNotCompressedOrXml},
        {"compressed text", gzip("hello, world\n"), kWyxFileNotXml},
        {"unclosed elements", "<CIM><DECLARATION>", kWyxFileNotXml},
        {"cut in the middle", good.substr(0, good.size() - 20), kWyxFileNotXml},
        {"malformed UTF-8", withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>\xC3("
                                                             "</VALUE></PROPERTY>")),
         kWyxFileNotXml},
        {"not CIM", "<html><body/></html>", kWyxFileNotCimXml},
        {"CIM without DECLARATION", "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\"/>", kWyxFileNotCimXml},
        {"a MESSAGE", "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\"><MESSAGE ID=\"1\"/></CIM>", kWyxFileNotCimXml},
        {"instance without class name", withBody("<VALUE.OBJECT><INSTANCE/></VALUE.OBJECT>"), kWyxFileNotCimXml},
        {"property without name", withBody(instanceOf("New_Class", "<PROPERTY TYPE=\"string\"/>")),
         kWyxFileNotCimXml},
        {"element inside a value",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE><B/></VALUE></PROPERTY>")),
         kWyxFileNotCimXml},
        {"unknown type", withBody(instanceOf("New_Class", "<PROPERTY NAME=\"B\" TYPE=\"uint128\"/>")),
         kWyxFileUnknownType},
        {"property without type", withBody(instanceOf("New_Class", "<PROPERTY NAME=\"B\"/>")), kWyxFileNotCimXml},
        {"array with an element of another type",
         withBody(instanceOf("New_Class", "<PROPERTY.ARRAY NAME=\"B\" TYPE=\"uint16\"><VALUE.ARRAY><VALUE>1</VALUE>"
                                          "<VALUE>x</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>")),
         kWyxFileBadValue},
        {"array where the class has a scalar",
         withBody(instanceOf("New_Class", "<PROPERTY.ARRAY NAME=\"A\" TYPE=\"string\"></PROPERTY.ARRAY>")),
         kWyxFileBadValue},
        {"element other than VALUE in an array",
         withBody(instanceOf("New_Class", "<PROPERTY.ARRAY NAME=\"B\" TYPE=\"string\"><VALUE.ARRAY><VALUE.NULL/>"
                                          "</VALUE.ARRAY></PROPERTY.ARRAY>")),
         kWyxFileNotCimXml},
        {"reference without a path",
         withBody(instanceOf("New_Class", "<PROPERTY.REFERENCE NAME=\"R\"><VALUE.REFERENCE/></PROPERTY.REFERENCE>")),
         kWyxFileNotCimXml},
        {"reference nested too deep",
         withBody(instanceOf("New_Class", "<PROPERTY.REFERENCE NAME=\"R\"><VALUE.REFERENCE>" +
                                              [] {
                                                  std::string nested;
                                                  for (int i = 0; i < 20; ++i)
                                                      nested += "<INSTANCENAME CLASSNAME=\"C\"><VALUE.REFERENCE>";
                                                  nested += "<CLASSNAME NAME=\"C\"/>";
                                                  for (int i = 0; i < 20; ++i) nested += "</VALUE.REFERENCE></INSTANCENAME>";
                                                  return nested;
                                              }() +
                                              "</VALUE.REFERENCE></PROPERTY.REFERENCE>")),
         kWyxFileNotCimXml},
        {"uint16 that is not a number",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"N\" TYPE=\"uint16\"><VALUE>x</VALUE></PROPERTY>")),
         kWyxFileBadValue},
        {"uint8 out of range",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"N\" TYPE=\"uint8\"><VALUE>256</VALUE></PROPERTY>")),
         kWyxFileBadValue},
        {"datetime of 30 February",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"D\" TYPE=\"datetime\"><VALUE>20240230000000.000000+000"
                                          "</VALUE></PROPERTY>")),
         kWyxFileBadValue},
        {"type differing from the schema",
         withBody(instanceOf("VARNSG_OSKLogRecord", "<PROPERTY NAME=\"Type\" TYPE=\"string\"><VALUE>2</VALUE>"
                                                    "</PROPERTY>")),
         kWyxFileBadValue},
        {"type differing from the file's own class",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"uint8\"><VALUE>1</VALUE></PROPERTY>")),
         kWyxFileBadValue},
        {"bad provider pass",
         withBody("<VALUE.OBJECT><CLASS NAME=\"P\"><QUALIFIER NAME=\"ProviderPass\" TYPE=\"uint16\"><VALUE>-1"
                  "</VALUE></QUALIFIER></CLASS></VALUE.OBJECT>"),
         kWyxFileBadValue},
        // What the DTD forbids and would otherwise be dropped unseen.
        {"two instances in one VALUE.OBJECT",
         withBody("<VALUE.OBJECT><INSTANCE CLASSNAME=\"New_Class\"/><INSTANCE CLASSNAME=\"New_Class\"/>"
                  "</VALUE.OBJECT>"),
         kWyxFileNotCimXml},
        {"a class and an instance in one VALUE.OBJECT",
         withBody("<VALUE.OBJECT><CLASS NAME=\"P\"/><INSTANCE CLASSNAME=\"New_Class\"/></VALUE.OBJECT>"),
         kWyxFileNotCimXml},
        {"two DECLARATIONs", good.substr(0, good.size() - 6) + "<DECLARATION/></CIM>", kWyxFileNotCimXml},
        {"a second VALUE in a property",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>a</VALUE><VALUE>b</VALUE>"
                                          "</PROPERTY>")),
         kWyxFileNotCimXml},
        // Ill-formed references.
        {"undefined entity",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>&nbsp;</VALUE></PROPERTY>")),
         kWyxFileNotXml},
        {"bare '&'",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>a & b</VALUE></PROPERTY>")),
         kWyxFileNotXml},
        // Sizes: refused after a bounded window, not held whole.
        {"compressed blanks beyond the largest window", gzip(kGoodStart + std::string(33 << 20, ' ') + kGoodEnd),
         kWyxFileTooLarge},
        {"plain blanks beyond the largest window", kGoodStart + std::string(33 << 20, ' ') + kGoodEnd,
         kWyxFileTooLarge},
        {"a value beyond the largest window",
         withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>" +
                                              std::string(33 << 20, 'v') + "</VALUE></PROPERTY>")),
         kWyxFileTooLarge},
        {"elements nested too deep",
         withBody(instanceOf("New_Class", "<QUALIFIER NAME=\"Q\">" + repeated("<V>", 300) + repeated("</V>", 300) +
                                              "</QUALIFIER>")),
         kWyxFileTooDeep},
    };
    TempDir dir;
    TContainer container;
    TCIMClass* kept = container.AddClass("Kept");
    kept->DeclareProperty("K", kCIMString);
    add(kept, {{"K", TCIMValue("k")}});
    const std::string before = Describe(container);
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.path("bad.xml.gz");
        testsupport::WriteBytes(path, c.bytes);
        try {
            container.PopulateContainerFromFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const TWYXException& e) {
            EXPECT_EQ(c.status, e.GetStatus()) << e.what();
            EXPECT_NE(std::string::npos, std::string(e.what()).find(wyxTranslateStatusCode(c.status)));
        }
        EXPECT_EQ(before, Describe(container));
    }
    // The good document itself is accepted, so each case above fails for its own fault.
    testsupport::WriteBytes(dir.path("good.xml"), good);
    container.PopulateContainerFromFile(dir.path("good.xml"));
    EXPECT_NE(nullptr, container.FindClass("New_Class"));
}

TEST(CIMXMLFile, ConcatenatedCompressedMembersAreOneDocument) {
    const std::string good = withBody("");
    const size_t half = good.size() / 2;
    TempDir dir;
    testsupport::WriteBytes(dir.path("two.xml.gz"), gzip(good.substr(0, half)) + gzip(good.substr(half)));
    TContainer container(TContainer::kEmpty);
    container.PopulateContainerFromFile(dir.path("two.xml.gz"));
    EXPECT_EQ(1u, container.FindClass("New_Class")->GetInstanceCount());
}

TEST(CIMXMLFile, PropertyGivenTwiceKeepsItsPlaceAndTheLaterValue) {
    TempDir dir;
    testsupport::WriteBytes(dir.path("twice.xml"),
                            withBody(instanceOf("New_Class", "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>1</VALUE></PROPERTY>"
                                                             "<PROPERTY NAME=\"B\" TYPE=\"uint8\"><VALUE>2</VALUE></PROPERTY>"
                                                             "<PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE>3</VALUE></PROPERTY>")));
    TContainer container(TContainer::kEmpty);
    container.PopulateContainerFromFile(dir.path("twice.xml"));
    const auto& props = container.FindClass("New_Class")->EnumerateInstances(true).at(1)->GetProperties();
    ASSERT_EQ(2u, props.size());
    EXPECT_EQ("A", props[0].first);
    EXPECT_EQ("3", props[0].second.GetText());
    EXPECT_EQ("B", props[1].first);
}

// However a property element is written, it reads as what it says: the
// class's next declaration written plainly is taken as it stands, anything
// else decoded and looked up.
TEST(CIMXMLFile, PropertyReadsTheSameHoweverItIsWritten) {
    const struct {
        const char* what;
        const char* start;
    } cases[] = {
        {"as the class declares it", "<PROPERTY NAME=\"A\" TYPE=\"string\">"},
        {"single quotes and blanks around '='", "<PROPERTY NAME = 'A' TYPE= 'string' >"},
        {"the name by a reference", "<PROPERTY NAME=\"&#65;\" TYPE=\"string\">"},
        {"the type by a reference", "<PROPERTY NAME=\"A\" TYPE=\"s&#116;ring\">"},
        {"the type first", "<PROPERTY TYPE=\"string\" NAME=\"A\">"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::WriteBytes(dir.path("written.xml"),
                                withBody(instanceOf("New_Class", std::string(c.start) + "<VALUE>v</VALUE></PROPERTY>")));
        TContainer container(TContainer::kEmpty);
        container.PopulateContainerFromFile(dir.path("written.xml"));
        const TCIMClass* read = container.FindClass("New_Class");
        ASSERT_EQ(1u, read->GetPropertyDecls().size());
        const auto& props = read->EnumerateInstances(true).at(1)->GetProperties();
        ASSERT_EQ(1u, props.size());
        EXPECT_EQ("A", props[0].first);
        EXPECT_EQ(kCIMString, props[0].second.GetType());
        EXPECT_EQ("v", props[0].second.GetText());
    }
}

// Tens of thousands of properties in one instance, none in the same order as
// the class: read in time linear in the file, not its square.
TEST(CIMXMLFile, InstanceOfManyPropertiesInAnyOrder) {
    const int count = 50000;
    std::string body = "<VALUE.OBJECT><INSTANCE CLASSNAME=\"Wide\">";
    for (int i = 0; i < count; ++i) {
        const int n = (i * 7919) % count;
        body += "<PROPERTY NAME=\"P" + std::to_string(n) + "\" TYPE=\"uint32\"><VALUE>" + std::to_string(n) +
                "</VALUE></PROPERTY>";
    }
    body += "</INSTANCE></VALUE.OBJECT>";
    TempDir dir;
    testsupport::WriteBytes(dir.path("wide.xml.gz"), gzip(withBody(body)));
    TContainer container(TContainer::kEmpty);
    container.PopulateContainerFromFile(dir.path("wide.xml.gz"));
    const TCIMClass* wide = container.FindClass("Wide");
    ASSERT_EQ(size_t(count), wide->GetPropertyDecls().size());
    const TCIMInstance* instance = wide->EnumerateInstances(true).at(0);
    EXPECT_EQ(size_t(count), instance->GetProperties().size());
    EXPECT_EQ("4242", instance->GetPropertyValue("P4242")->GetText());
}

TEST(CIMXMLFile, MissingOrUnreadablePaths) {
    TempDir dir;
    TContainer container;
    const struct {
        std::string path;
        int status;
    } cases[] = {
        {dir.path("missing.xml.gz"), kWyxFileNotFound},
        {dir.path("no-such-dir") + TOSSpecific::kFileSeparator + "x.xml", kWyxFileNotFound},
        {dir.path(), kWyxAccessDenied},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS(container.PopulateContainerFromFile(c.path), c.status) << c.path;
    }
}

TEST(CIMXMLFile, WriteFailuresLeaveNoFileBehind) {
    TempDir dir;
    TContainer container;
    std::filesystem::create_directory(dir.path("taken"));
    const struct {
        std::string path;
        int status;
    } cases[] = {
        {dir.path("taken"), kWyxAccessDenied},
        {dir.path("no-such-dir") + TOSSpecific::kFileSeparator + "x.xml.gz", kWyxAccessDenied},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS(TCIMXMLFile::Write(&container, c.path), c.status) << c.path;
    }
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.path()), {}));  // only "taken"
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("taken")));
}

TEST(CIMXMLFile, WriteReplacesAnEarlierFile) {
    TempDir dir;
    const std::string path = dir.path("out.xml.gz");
    testsupport::WriteBytes(path, "an older, longer file that must not survive in any part");
    TContainer container;
    fill(&container);
    TCIMXMLFile::Write(&container, path);
    TContainer copy;
    copy.PopulateContainerFromFile(path);
    EXPECT_EQ(Describe(container), Describe(copy));
}

}  // namespace
