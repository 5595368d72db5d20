// The WinHTTP calls of the https:// upload, and nothing else.
#include "https_upload.h"

#include <winhttp.h>

namespace {

class WinHttp : public wyxos::HttpsCalls {
public:
    HANDLE Open(DWORD timeoutMs) override {
        HINTERNET session = WinHttpOpen(L"norbix", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                        WINHTTP_NO_PROXY_BYPASS, 0);
        if (session && !WinHttpSetTimeouts(session, static_cast<int>(timeoutMs), static_cast<int>(timeoutMs),
                                           static_cast<int>(timeoutMs), static_cast<int>(timeoutMs))) {
            const DWORD error = GetLastError();
            WinHttpCloseHandle(session);
            SetLastError(error);
            return nullptr;
        }
        return session;
    }
    HANDLE Connect(HANDLE session, const std::wstring& host, unsigned port) override {
        return WinHttpConnect(session, host.c_str(), static_cast<INTERNET_PORT>(port), 0);
    }
    HANDLE OpenPut(HANDLE connection, const std::wstring& path) override {
        HINTERNET request = WinHttpOpenRequest(connection, L"PUT", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                               WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        if (request && !WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never)) {
            const DWORD error = GetLastError();
            WinHttpCloseHandle(request);
            SetLastError(error);
            return nullptr;
        }
        return request;
    }
    bool Send(HANDLE request, const std::wstring& headers, DWORD totalLength) override {
        return WinHttpSendRequest(request, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                                  headers.empty() ? 0 : static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0,
                                  totalLength, 0) != FALSE;
    }
    bool Write(HANDLE request, const char* data, DWORD size) override {
        DWORD written = 0;
        return WinHttpWriteData(request, data, size, &written) && written == size;
    }
    bool Receive(HANDLE request) override { return WinHttpReceiveResponse(request, nullptr) != FALSE; }
    DWORD StatusCode(HANDLE request) override {
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
            return 0;
        return status;
    }
    void Close(HANDLE handle) override { WinHttpCloseHandle(handle); }
    DWORD LastError() override { return GetLastError(); }
};

}  // namespace

namespace wyxos {

HttpsCalls& WinHttpCalls() {
    static WinHttp calls;
    return calls;
}

}  // namespace wyxos
