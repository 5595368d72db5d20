#include "ftp_target.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "env_var.h"

namespace {

struct UrlCase {
    const char* url;
    const char* host;
    unsigned port;
    const char* user;
    const char* password;
    const char* directory;
};

class FtpUrlAccepted : public ::testing::TestWithParam<UrlCase> {};

TEST_P(FtpUrlAccepted, SplitsIntoParts) {
    const UrlCase& c = GetParam();
    wyxos::FtpTarget target;
    ASSERT_TRUE(wyxos::ParseFtpUrl(c.url, &target)) << c.url;
    EXPECT_EQ(target.host, c.host);
    EXPECT_EQ(target.port, c.port);
    EXPECT_EQ(target.user, c.user);
    EXPECT_EQ(target.password, c.password);
    EXPECT_EQ(target.directory, c.directory);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, FtpUrlAccepted,
    ::testing::Values(UrlCase{"ftp://user:pw@127.0.0.1:2121/dir/", "127.0.0.1", 2121, "user", "pw", "/dir/"},
                      UrlCase{"ftp://host.example", "host.example", 21, "", "", "/"},
                      UrlCase{"ftp://u@h/a/b", "h", 21, "u", "", "/a/b/"},
                      // A password may hold '@' and ':' when encoded, and the last '@' ends it.
                      UrlCase{"ftp://u:p%40ss:w@h:65535/", "h", 65535, "u", "p@ss:w", "/"},
                      UrlCase{"ftp://u:p@ss@h/", "h", 21, "u", "p@ss", "/"},
                      UrlCase{"ftp://[::1]:2121/up%20load/", "[::1]", 2121, "", "", "/up load/"},
                      UrlCase{"ftp://[::1]/", "[::1]", 21, "", "", "/"}));

class FtpUrlRefused : public ::testing::TestWithParam<const char*> {};

TEST_P(FtpUrlRefused, IsNotATarget) {
    wyxos::FtpTarget target;
    EXPECT_FALSE(wyxos::ParseFtpUrl(GetParam(), &target)) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Urls, FtpUrlRefused,
    ::testing::Values("", "http://h/", "FTP://h/", "ftps://h/", "ftp://", "ftp:///dir/", "ftp://h:0/",
                      "ftp://h:65536/", "ftp://h:/", "ftp://h:21x/", "ftp://h:123456/", "ftp://:pw@h/",
                      "ftp://h/dir?x", "ftp://h/dir#x", "ftp://h/%zz/", "ftp://h/%4/", "ftp://h/%",
                      // Bytes that would end or split an FTP command.
                      "ftp://h/a%0d%0aDELE%20x/", "ftp://u:p%0a@h/", "ftp://u%00:p@h/", "ftp://h\r\n/",
                      "ftp://ho st/", "ftp://h;x/", "ftp://[::1/", "ftp://[zz]/"));

TEST(FtpRemoteName, OnlyPlainNamesAreAccepted) {
    const struct {
        const char* name;
        bool plain;
    } cases[] = {
        {"Model_Serial_20260102-030405.xml.gz", true}, {"dir_temp.xml.gz", true}, {"with space.xml.gz", true},
        {"", false}, {"..", false}, {"a/b.xml.gz", false}, {"a\\b.xml.gz", false},
        {"a\r\nDELE b.xml.gz", false}, {"tab\there.xml.gz", false},
    };
    for (const auto& c : cases) EXPECT_EQ(wyxos::IsPlainRemoteName(c.name), c.plain) << c.name;
}

class FtpEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        save("WYX_FTP_URL", &url_);
        save("WYX_FTP_TIMEOUT", &timeout_);
    }
    void TearDown() override {
        restore("WYX_FTP_URL", url_);
        restore("WYX_FTP_TIMEOUT", timeout_);
    }
    static void set(const char* name, const std::string& value) { testsupport::SetEnv(name, value); }

private:
    static void save(const char* name, std::string* value) {
        const char* current = std::getenv(name);
        *value = current ? current : "";
    }
    static void restore(const char* name, const std::string& value) { set(name, value); }
    std::string url_;
    std::string timeout_;
};

TEST_F(FtpEnvironment, UnsetOrEmptyUrlMeansTheSupportService) {
    set("WYX_FTP_URL", "");
    wyxos::FtpTarget target;
    ASSERT_TRUE(wyxos::FtpTargetFromEnvironment(&target));
    wyxos::FtpTarget expected;
    ASSERT_TRUE(wyxos::ParseFtpUrl(wyxos::kDefaultFtpUrl, &expected));
    EXPECT_EQ(target.host, expected.host);
    EXPECT_EQ(target.directory, expected.directory);

    set("WYX_FTP_URL", "ftp://a:b@127.0.0.1:9/x/");
    ASSERT_TRUE(wyxos::FtpTargetFromEnvironment(&target));
    EXPECT_EQ(target.host, "127.0.0.1");
    EXPECT_EQ(target.port, 9u);
    set("WYX_FTP_URL", "not a url");
    EXPECT_FALSE(wyxos::FtpTargetFromEnvironment(&target));
}

TEST_F(FtpEnvironment, TimeoutOutsideItsRangeFallsBackToTheDefault) {
    const struct {
        const char* text;
        unsigned seconds;
    } cases[] = {{"", 30}, {"1", 1}, {"3600", 3600}, {"0", 30}, {"3601", 30}, {"-5", 30}, {"2s", 30}, {"x", 30}};
    for (const auto& c : cases) {
        set("WYX_FTP_TIMEOUT", c.text);
        EXPECT_EQ(wyxos::FtpTimeoutSeconds(), c.seconds) << '"' << c.text << '"';
    }
}

}  // namespace

namespace {

struct SchemeCase {
    const char* url;
    bool accepted;
    wyxos::UploadScheme scheme;
    unsigned port;
};

// Every scheme keeps the rules of ftp://; only the scheme and its default port differ.
TEST(UploadUrl, AcceptsTheEncryptedSchemesAlone) {
    const SchemeCase rows[] = {
        {"ftp://h/", true, wyxos::UploadScheme::kFtp, 21},
        {"ftps://u:p@h/in/", true, wyxos::UploadScheme::kFtps, 21},
        {"ftps://h:990/", true, wyxos::UploadScheme::kFtps, 990},
        {"https://u:p@[::1]/up/", true, wyxos::UploadScheme::kHttps, 443},
        {"https://h:8443", true, wyxos::UploadScheme::kHttps, 8443},
        {"http://h/", false, wyxos::UploadScheme::kFtp, 0},
        {"HTTPS://h/", false, wyxos::UploadScheme::kFtp, 0},
        {"sftp://h/", false, wyxos::UploadScheme::kFtp, 0},
        {"https:///dir/", false, wyxos::UploadScheme::kFtp, 0},
        {"ftps://u:p@/", false, wyxos::UploadScheme::kFtp, 0},
        {"https://h/a%0d%0ab/", false, wyxos::UploadScheme::kFtp, 0},
        {"https://h/?q", false, wyxos::UploadScheme::kFtp, 0},
    };
    for (const SchemeCase& row : rows) {
        wyxos::FtpTarget target;
        EXPECT_EQ(wyxos::ParseUploadUrl(row.url, &target), row.accepted) << row.url;
        if (!row.accepted) continue;
        EXPECT_EQ(target.scheme, row.scheme) << row.url;
        EXPECT_EQ(target.port, row.port) << row.url;
    }
    // The plain parser stays plain.
    wyxos::FtpTarget target;
    EXPECT_FALSE(wyxos::ParseFtpUrl("ftps://h/", &target));
    EXPECT_EQ(wyxos::SchemeOf("gopher://x"), "gopher");
    EXPECT_EQ(wyxos::SchemeOf("no scheme"), "");
}

}  // namespace
