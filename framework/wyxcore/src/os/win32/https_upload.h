#ifndef WYXCORE_HTTPS_UPLOAD_H
#define WYXCORE_HTTPS_UPLOAD_H

// The https:// upload on Windows: a PUT through WinHTTP. The WinHTTP calls go
// through HttpsCalls, so that a test can drive every answer a server or the
// TLS stack can give.

#include <windows.h>

#include <string>

#include "ftp_target.h"

namespace wyxos {

class HttpsCalls {
public:
    virtual ~HttpsCalls() = default;
    // A session without proxy, its waits bounded by timeoutMs.
    virtual HANDLE Open(DWORD timeoutMs) = 0;
    virtual HANDLE Connect(HANDLE session, const std::wstring& host, unsigned port) = 0;
    // A PUT over TLS that never follows a redirect.
    virtual HANDLE OpenPut(HANDLE connection, const std::wstring& path) = 0;
    virtual bool Send(HANDLE request, const std::wstring& headers, DWORD totalLength) = 0;
    virtual bool Write(HANDLE request, const char* data, DWORD size) = 0;
    virtual bool Receive(HANDLE request) = 0;
    // The answer's HTTP status; 0 when there is none.
    virtual DWORD StatusCode(HANDLE request) = 0;
    virtual void Close(HANDLE handle) = 0;
    virtual DWORD LastError() = 0;
};

HttpsCalls& WinHttpCalls();

// Sends content as remoteName in target's directory. True for a 2xx answer,
// false for any other; throws TWYXException: kWyxTlsFailed (certificate or
// handshake), kWyxNoInternetConnection, kWyxServiceUnreachable,
// kWyxFtpProtocolError.
bool PutOverHttps(HttpsCalls& calls, const FtpTarget& target, const std::string& content,
                  const std::string& remoteName, unsigned timeoutSeconds, const std::string& where);

}  // namespace wyxos

#endif
