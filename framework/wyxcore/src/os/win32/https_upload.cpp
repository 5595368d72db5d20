// The https:// upload's steps and what each failure means; the WinHTTP calls
// themselves are in winhttp_calls.cpp.
#include "https_upload.h"

#include <winhttp.h>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

class Handle {
public:
    Handle(wyxos::HttpsCalls& calls, HANDLE handle) : calls_(calls), handle_(handle) {}
    ~Handle() {
        if (handle_) calls_.Close(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    wyxos::HttpsCalls& calls_;
    HANDLE handle_;
};

std::wstring widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Every byte but the unreserved ones escaped; the slashes of the path kept.
std::string escapedPath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string result;
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            result += static_cast<char>(c);
        } else {
            result += '%';
            result += kHex[c >> 4];
            result += kHex[c & 15];
        }
    }
    return result;
}

std::string base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string result;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0);
        result += kDigits[(n >> 18) & 63];
        result += kDigits[(n >> 12) & 63];
        result += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        result += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
    }
    return result;
}

const char* tlsReason(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID: return "the certificate does not name this host";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID: return "the certificate has expired or is not yet valid";
    case ERROR_WINHTTP_SECURE_INVALID_CA: return "the certificate's issuer is not trusted";
    case ERROR_WINHTTP_SECURE_CERT_REVOKED: return "the certificate has been revoked";
    case ERROR_WINHTTP_SECURE_INVALID_CERT: return "the certificate is not valid";
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE: return "the certificate is not for a server";
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR: return "no TLS handshake with the server";
    case ERROR_WINHTTP_SECURE_FAILURE: return "the server's certificate was not accepted";
    default: return nullptr;
    }
}

[[noreturn]] void fail(DWORD error, const std::string& where) {
    if (const char* reason = tlsReason(error)) throw TWYXException(kWyxTlsFailed, where + ": " + reason);
    switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        throw TWYXException(kWyxNoInternetConnection, where + ": the name does not resolve");
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_TIMEOUT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        throw TWYXException(kWyxServiceUnreachable, where + ": WinHTTP error " + std::to_string(error));
    case ERROR_NOT_ENOUGH_MEMORY:
        throw TWYXException(kWyxOutOfMemory);
    default:
        throw TWYXException(kWyxFtpProtocolError, where + ": WinHTTP error " + std::to_string(error));
    }
}

const DWORD kPiece = 64 * 1024;

}  // namespace

namespace wyxos {

bool PutOverHttps(HttpsCalls& calls, const FtpTarget& target, const std::string& content,
                  const std::string& remoteName, unsigned timeoutSeconds, const std::string& where) {
    if (content.size() > 0xFFFFFFFFu) throw TWYXException(kWyxFileTooLarge, where);
    std::string host = target.host;
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    Handle session(calls, calls.Open(timeoutSeconds * 1000));
    if (!session.get()) fail(calls.LastError(), where);
    Handle connection(calls, calls.Connect(session.get(), widened(host), target.port));
    if (!connection.get()) fail(calls.LastError(), where);
    Handle request(calls, calls.OpenPut(connection.get(), widened(escapedPath(target.directory + remoteName))));
    if (!request.get()) fail(calls.LastError(), where);
    // Sent at once rather than after a challenge: the channel is encrypted.
    std::wstring headers;
    if (!target.user.empty())
        headers = L"Authorization: Basic " + widened(base64(target.user + ":" + target.password)) + L"\r\n";
    if (!calls.Send(request.get(), headers, static_cast<DWORD>(content.size()))) fail(calls.LastError(), where);
    for (size_t done = 0; done < content.size();) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(kPiece, content.size() - done));
        if (!calls.Write(request.get(), content.data() + done, piece)) fail(calls.LastError(), where);
        done += piece;
    }
    if (!calls.Receive(request.get())) fail(calls.LastError(), where);
    const DWORD status = calls.StatusCode(request.get());
    return status >= 200 && status < 300;
}

}  // namespace wyxos
