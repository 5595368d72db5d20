// The https:// upload's WinHTTP calls, through the seam: their order and
// arguments, and what every failure becomes.
#include "os/win32/https_upload.h"

#include <gtest/gtest.h>
#include <winhttp.h>

#include <string>
#include <vector>

#include "expect_status.h"

namespace {

// Answers each call as scripted; failAt names the call that fails with error.
class FakeCalls : public wyxos::HttpsCalls {
public:
    std::string failAt;
    DWORD error = 0;
    DWORD status = 201;
    std::vector<std::string> log;
    std::string body;
    std::wstring host, path, headers;
    unsigned port = 0;
    DWORD total = 0, timeout = 0;

    HANDLE Open(DWORD timeoutMs) override {
        timeout = timeoutMs;
        return step("open");
    }
    HANDLE Connect(HANDLE, const std::wstring& h, unsigned p) override {
        host = h;
        port = p;
        return step("connect");
    }
    HANDLE OpenPut(HANDLE, const std::wstring& p) override {
        path = p;
        return step("put");
    }
    bool Send(HANDLE, const std::wstring& h, DWORD t) override {
        headers = h;
        total = t;
        return step("send") != nullptr;
    }
    bool Write(HANDLE, const char* data, DWORD size) override {
        body.append(data, size);
        return step("write") != nullptr;
    }
    bool Receive(HANDLE) override { return step("receive") != nullptr; }
    DWORD StatusCode(HANDLE) override {
        log.push_back("status");
        return status;
    }
    void Close(HANDLE) override { log.push_back("close"); }
    DWORD LastError() override { return error; }

private:
    HANDLE step(const std::string& name) {
        log.push_back(name);
        return name == failAt ? nullptr : reinterpret_cast<HANDLE>(1);
    }
};

wyxos::FtpTarget target() {
    wyxos::FtpTarget t;
    EXPECT_TRUE(wyxos::ParseUploadUrl("https://osk:p%40ss@[::1]:8443/in box/", &t));
    return t;
}

TEST(HttpsUpload, PutsTheWholeFileOverTlsWithTheCredentialsAndClosesEverything) {
    FakeCalls calls;
    const std::string content(150000, 'x');
    EXPECT_TRUE(wyxos::PutOverHttps(calls, target(), content, "a b.xml.gz", 7, "https://[::1]:8443/in box/"));
    EXPECT_EQ(calls.log, (std::vector<std::string>{"open", "connect", "put", "send", "write", "write", "write",
                                                   "receive", "status", "close", "close", "close"}));
    EXPECT_EQ(calls.timeout, 7000u);
    EXPECT_EQ(calls.host, L"::1");
    EXPECT_EQ(calls.port, 8443u);
    EXPECT_EQ(calls.path, L"/in%20box/a%20b.xml.gz");
    EXPECT_EQ(calls.headers, L"Authorization: Basic b3NrOnBAc3M=\r\n");   // osk:p@ss
    EXPECT_EQ(calls.total, 150000u);
    EXPECT_EQ(calls.body, content);
}

TEST(HttpsUpload, EachFailureHasItsStatus) {
    const struct {
        const char* failAt;
        DWORD error;
        DWORD status;
        int expected;   // kWyxOK: returns, with the result below
        bool result;
    } rows[] = {
        {"", 0, 200, kWyxOK, true},
        {"", 0, 401, kWyxOK, false},
        {"", 0, 302, kWyxOK, false},   // never followed: it could lead to plain HTTP
        {"send", ERROR_WINHTTP_SECURE_FAILURE, 0, kWyxTlsFailed, false},
        {"send", ERROR_WINHTTP_SECURE_INVALID_CA, 0, kWyxTlsFailed, false},
        {"send", ERROR_WINHTTP_SECURE_CERT_CN_INVALID, 0, kWyxTlsFailed, false},
        {"send", ERROR_WINHTTP_SECURE_CERT_DATE_INVALID, 0, kWyxTlsFailed, false},
        {"send", ERROR_WINHTTP_SECURE_CHANNEL_ERROR, 0, kWyxTlsFailed, false},
        {"send", ERROR_WINHTTP_NAME_NOT_RESOLVED, 0, kWyxNoInternetConnection, false},
        {"send", ERROR_WINHTTP_CANNOT_CONNECT, 0, kWyxServiceUnreachable, false},
        {"write", ERROR_WINHTTP_CONNECTION_ERROR, 0, kWyxServiceUnreachable, false},   // closed mid-transfer
        {"receive", ERROR_WINHTTP_TIMEOUT, 0, kWyxServiceUnreachable, false},
        {"open", ERROR_NOT_ENOUGH_MEMORY, 0, kWyxOutOfMemory, false},
        {"put", ERROR_WINHTTP_INVALID_URL, 0, kWyxFtpProtocolError, false},
    };
    for (const auto& row : rows) {
        FakeCalls calls;
        calls.failAt = row.failAt;
        calls.error = row.error;
        calls.status = row.status;
        bool result = !row.result;
        EXPECT_STATUS(result = wyxos::PutOverHttps(calls, target(), "data", "f.xml.gz", 5, "https://h/"),
                      row.expected)
            << row.failAt << " " << row.error;
        if (row.expected == kWyxOK) {
            EXPECT_EQ(result, row.result) << row.status;
        }
        // Every handle opened is closed, whatever failed.
        size_t opened = 0, closed = 0;
        for (const std::string& call : calls.log) {
            opened += (call == "open" || call == "connect" || call == "put") && call != row.failAt;
            closed += call == "close";
        }
        EXPECT_EQ(opened, closed) << row.failAt;
    }
}

}  // namespace
