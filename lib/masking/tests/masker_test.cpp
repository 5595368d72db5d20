// Tokens found and replaced, pseudonyms made, map files read back, WYX_MASK read.
#include <gtest/gtest.h>

#include <stdexcept>

#include "map_file.h"
#include "mask_kind.h"
#include "masker.h"

namespace {

MaskChoice choiceOf(const std::string& text) {
    MaskChoice choice;
    std::string bad;
    EXPECT_TRUE(ParseMaskChoice(text, &choice, &bad)) << text;
    return choice;
}

struct MaskCase {
    const char* name;
    const char* choice;
    std::vector<std::pair<MaskKind, std::string> > known;
    const char* text;
    const char* masked;
};

const MaskCase kMaskCases[] = {
    // Addresses: the prefix length and a port stay; only whole addresses go.
    {"ipv4_with_prefix_and_port", "addresses", {}, "from 10.0.0.12/24 to 10.0.0.12:8080 and 10.0.0.13",
     "from 192.0.2.1/24 to 192.0.2.1:8080 and 192.0.2.2"},
    {"dotted_run_longer_than_an_address", "addresses", {}, "version 1.10.0.0.1 and 300.1.1.1",
     "version 1.10.0.0.1 and 300.1.1.1"},
    {"addresses_that_name_nothing", "addresses", {}, "127.0.0.1 0.0.0.0 255.255.255.0 224.0.0.5",
     "127.0.0.1 0.0.0.0 255.255.255.0 224.0.0.5"},
    {"ipv6_keeps_prefix_and_zone", "addresses", {}, "fe80::1ff:fe23:4567:890a/64 and FE80::2%eth0.",
     "2001:db8::1/64 and 2001:db8::2%eth0."},
    {"ipv6_full_and_mapped", "addresses", {}, "2a02:8070:0:1:2:3:4:5 ::ffff:10.1.1.1",
     "2001:db8::1 2001:db8::2"},
    {"not_ipv6", "addresses", {}, "at 12:30:45, quarnel::read, ::1 and ::", "at 12:30:45, quarnel::read, ::1 and ::"},
    // MACs keep their separator and case; the maker only when asked.
    {"mac_forms", "macs", {}, "00-1B-21-3A-4F-5C and 00:1b:21:3a:4f:5d", "02-00-00-00-00-01 and 02:00:00:00:00:02"},
    {"mac_keeps_maker", "keep-mac-maker", {}, "00-1B-21-3A-4F-5C", "00-1B-21-00-00-01"},
    {"mac_inside_longer_hex", "macs", {}, "00:1b:21:3a:4f:5c:77 and 00:00:00:00:00:00",
     "00:1b:21:3a:4f:5c:77 and 00:00:00:00:00:00"},
    // Known host names: whole tokens only, in any case; a dot ends a label.
    {"known_host_whole_tokens", "hosts", {{MaskKind::kHost, "SRV01"}}, "srv01.sales, SRV01, xsrv01, srv01-mgmt, srv01_b",
     "host-0001.sales, host-0001, xsrv01, srv01-mgmt, srv01_b"},
    {"domain_names", "hosts", {}, "ws-admin7.corp.example. and www.acme.de but quarnel.pi.so, libc.so.6, a.b.gz",
     "host-0001. and host-0002 but quarnel.pi.so, libc.so.6, a.b.gz"},
    {"host_in_url_and_mail", "hosts", {}, "ftp://osk@ftp.acme.com/in/ jdoe@mail.acme.com",
     "ftp://osk@host-0001/in/ jdoe@host-0002"},
    // Users: known ones, and the name after "user".
    {"user_after_keyword", "users", {}, "Invalid user bob from x; user=alice; User 'carol'; user root; user from",
     "Invalid user user-0001 from x; user=user-0002; User 'user-0003'; user root; user from"},
    {"known_user_in_path", "users", {{MaskKind::kUser, "jdoe"}}, "/home/jdoe/x (jdoe) jdoe7",
     "/home/user-0001/x (user-0001) jdoe7"},
    // Serial numbers only when named; extra words always.
    {"serials_not_in_all", "all", {{MaskKind::kSerial, "SN1234567"}}, "serial SN1234567", "serial SN1234567"},
    {"serials_when_named", "serials", {{MaskKind::kSerial, "SN1234567"}}, "8842_SN1234567 SN1234567",
     "8842_SN1234567 serial-0001"},
    {"phrase_of_words", "hosts", {{MaskKind::kWord, "Acme Corp"}}, "Acme Corp Ltd, ACME CORP, Acme Corporation",
     "word-0001 Ltd, word-0001, Acme Corporation"},
    // Pseudonyms are never masked again, so masking twice changes nothing.
    {"pseudonym_like_text", "all", {{MaskKind::kHost, "host-0009"}}, "host-0009 user-0001 192.0.2.9 2001:db8::9",
     "host-0009 user-0001 192.0.2.9 2001:db8::9"},
    {"nothing_chosen_but_words", "serials", {{MaskKind::kWord, "acme"}, {MaskKind::kHost, "srv01"}},
     "acme srv01 10.0.0.1", "word-0001 srv01 10.0.0.1"},
};

class MaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTable, MasksWholeTokensOnceAndForAll) {
    const MaskCase& row = GetParam();
    PseudonymMap map;
    Masker masker(choiceOf(row.choice), &map);
    for (const auto& known : row.known) masker.Learn(known.first, known.second);
    const std::string masked = masker.MaskText(row.text);
    EXPECT_EQ(masked, row.masked);
    EXPECT_EQ(masker.MaskText(masked), masked) << "masking a masked text changed it";
    EXPECT_EQ(masker.MaskText(row.text), masked) << "the same map gave other pseudonyms";
}

INSTANTIATE_TEST_SUITE_P(Masking, MaskTable, ::testing::ValuesIn(kMaskCases),
                         [](const ::testing::TestParamInfo<MaskCase>& info) { return info.param.name; });

TEST(MaskText, VersionsKeepTheirDottedNumbers) {
    PseudonymMap map;
    Masker masker(choiceOf("all"), &map);
    EXPECT_EQ(masker.MaskText("1.2.5.1 on 10.0.0.1", false), "1.2.5.1 on 10.0.0.1");
}

struct PseudonymCase {
    MaskKind kind;
    unsigned long n;
    const char* maker;
    const char* pseudonym;
};

const PseudonymCase kPseudonyms[] = {
    {MaskKind::kHost, 1, "", "host-0001"},           {MaskKind::kUser, 12345, "", "user-12345"},
    {MaskKind::kSerial, 7, "", "serial-0007"},       {MaskKind::kWord, 10, "", "word-0010"},
    {MaskKind::kAddress4, 1, "", "192.0.2.1"},       {MaskKind::kAddress4, 254, "", "192.0.2.254"},
    {MaskKind::kAddress4, 255, "", "198.51.100.1"},  {MaskKind::kAddress4, 509, "", "203.0.113.1"},
    {MaskKind::kAddress4, 763, "", "198.18.0.1"},    {MaskKind::kAddress4, 762 + 131070, "", "198.19.255.254"},
    {MaskKind::kAddress6, 26, "", "2001:db8::1a"},   {MaskKind::kMac, 1, "", "02:00:00:00:00:01"},
    {MaskKind::kMac, 0x10203, "00:1b:21", "00:1b:21:01:02:03"},
};

TEST(Pseudonyms, EachKindHasItsForm) {
    for (const PseudonymCase& row : kPseudonyms) {
        EXPECT_EQ(PseudonymMap::Make(row.kind, row.n, row.maker), row.pseudonym);
        // What Make gives, a map file may hold.
        PseudonymMap map;
        EXPECT_TRUE(map.Restore({row.kind, "value", row.pseudonym})) << row.pseudonym;
    }
    EXPECT_THROW(PseudonymMap::Make(MaskKind::kAddress4, 762 + 131071), std::length_error);
    EXPECT_THROW(PseudonymMap::Make(MaskKind::kMac, 0x1000000), std::length_error);
}

TEST(MapText, ReadsBackWhatItWroteAndCountsOn) {
    PseudonymMap map;
    map.PseudonymOf(MaskKind::kHost, "srv01");
    map.PseudonymOf(MaskKind::kAddress4, "10.0.0.1");
    map.PseudonymOf(MaskKind::kHost, "srv02");
    PseudonymMap again;
    std::string problem;
    ASSERT_TRUE(ParseMap(SerializeMap(map), &again, &problem)) << problem;
    EXPECT_EQ(SerializeMap(again), SerializeMap(map));
    EXPECT_FALSE(again.Changed());
    EXPECT_EQ(again.PseudonymOf(MaskKind::kHost, "srv02"), "host-0002");
    EXPECT_EQ(again.PseudonymOf(MaskKind::kHost, "srv03"), "host-0003");
    EXPECT_EQ(again.PseudonymOf(MaskKind::kAddress4, "10.0.0.9"), "192.0.2.2");
    EXPECT_TRUE(again.Changed());
}

TEST(MapText, RefusesWhatIsNotAWholeMapOfOurs) {
    const std::string head = std::string(kMapFileHeader) + "\n";
    const struct {
        const char* name;
        std::string text;
        const char* problem;
    } rows[] = {
        {"foreign", "hosts\n", "is not a norbix mask map"},
        {"empty", "", "is not a norbix mask map"},
        {"missing_field", head + "host\tsrv01\n", "is damaged at line 2"},
        {"extra_field", head + "host\tsrv01\thost-0001\tx\n", "is damaged at line 2"},
        {"unknown_kind", head + "planet\tmars\thost-0001\n", "is damaged at line 2"},
        {"pseudonym_of_another_kind", head + "host\tsrv01\tuser-0001\n", "is damaged at line 2"},
        {"address_outside_the_ranges", head + "ipv4\t10.0.0.1\t10.0.0.2\n", "is damaged at line 2"},
        {"pseudonym_twice", head + "host\ta\thost-0001\nhost\tb\thost-0001\n", "is damaged at line 3"},
        {"value_twice", head + "host\ta\thost-0001\nhost\ta\thost-0002\n", "is damaged at line 3"},
        {"cut_short", head + "host\ta\thost-0001", "is damaged at line 2"},
    };
    for (const auto& row : rows) {
        PseudonymMap map;
        map.PseudonymOf(MaskKind::kHost, "kept");
        std::string problem;
        EXPECT_FALSE(ParseMap(row.text, &map, &problem)) << row.name;
        EXPECT_EQ(problem, row.problem) << row.name;
        EXPECT_EQ(map.Entries().size(), 1u) << row.name << ": a refused map changed the one in use";
    }
}

TEST(MaskChoiceText, NamesWhatToMask) {
    const struct {
        const char* text;
        bool ok;
        const char* bad;
        bool hosts, addresses, macs, users, serials, keepMaker;
    } rows[] = {
        {"all", true, "", true, true, true, true, false, false},
        {"all,serials", true, "", true, true, true, true, true, false},
        {" hosts , users ", true, "", true, false, false, true, false, false},
        {"keep-mac-maker", true, "", false, false, true, false, false, true},
        {"hosts,planets", false, "planets", false, false, false, false, false, false},
        {"Hosts", false, "Hosts", false, false, false, false, false, false},
    };
    for (const auto& row : rows) {
        MaskChoice choice;
        std::string bad;
        EXPECT_EQ(ParseMaskChoice(row.text, &choice, &bad), row.ok) << row.text;
        EXPECT_EQ(bad, row.bad) << row.text;
        if (!row.ok) continue;
        EXPECT_EQ(choice.hosts, row.hosts) << row.text;
        EXPECT_EQ(choice.addresses, row.addresses) << row.text;
        EXPECT_EQ(choice.macs, row.macs) << row.text;
        EXPECT_EQ(choice.users, row.users) << row.text;
        EXPECT_EQ(choice.serials, row.serials) << row.text;
        EXPECT_EQ(choice.keepMacMaker, row.keepMaker) << row.text;
    }
}

}  // namespace
