// FTP upload through WinINet, in passive mode. WinINet's own time-outs are set,
// but not every implementation honours them on an FTP session (Wine's waits
// for ever on a server that accepts and never answers), so the session runs on
// a worker thread and the caller gives up when it shows no progress for the
// whole bound.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <thread>

#include "ftp_transfer.h"
#include "https_upload.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

// What one PUT of WinHTTP carries.
const size_t kLargestUpload = 0x7FFFFFFF;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) InternetCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Shared by the caller and the worker; the worker keeps it alive if it is
// left behind.
struct Session {
    std::string host;
    unsigned port = 21;
    std::string user;
    std::string password;
    std::string directory;
    std::string filePath;
    std::string remoteName;
    DWORD timeoutMs = 0;
    std::atomic<ULONGLONG> lastProgress{0};
    std::atomic<bool> finished{false};
    bool uploaded = false;
    DWORD error = 0;   // of the failed step; 0 with uploaded when all went well

    void progress() { lastProgress.store(GetTickCount64()); }
};

void setTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
    InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

// The error of the step that failed, or 0.
DWORD upload(Session& s) {
    FileHandle file(CreateFileA(s.filePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return GetLastError();
    InternetHandle internet(InternetOpenA("OSK", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet.get()) return GetLastError();
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        setTimeout(internet.get(), option, s.timeoutMs);

    const bool anonymous = s.user.empty();
    InternetHandle ftp(InternetConnectA(internet.get(), s.host.c_str(), static_cast<INTERNET_PORT>(s.port),
                                        anonymous ? nullptr : s.user.c_str(),
                                        anonymous ? nullptr : s.password.c_str(), INTERNET_SERVICE_FTP,
                                        INTERNET_FLAG_PASSIVE, 0));
    if (!ftp.get()) return GetLastError();
    s.progress();
    if (s.directory != "/" && !FtpSetCurrentDirectoryA(ftp.get(), s.directory.substr(1).c_str()))
        return GetLastError();
    s.progress();
    InternetHandle remote(
        FtpOpenFileA(ftp.get(), s.remoteName.c_str(), GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0));
    if (!remote.get()) return GetLastError();
    s.progress();
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return GetLastError();
        if (got == 0) break;
        DWORD sent = 0;
        if (!InternetWriteFile(remote.get(), buffer, got, &sent)) return GetLastError();
        if (sent != got) return ERROR_INTERNET_CONNECTION_ABORTED;
        s.progress();
    }
    return 0;
}

void runSession(std::shared_ptr<Session> s) {
    s->error = upload(*s);
    s->uploaded = s->error == 0;
    s->finished.store(true);
}

// Throws for a failure of the connection or of the local file; false when the
// server refused.
bool refusedOrThrow(DWORD error, const Session& s, const std::string& where) {
    switch (error) {
    case ERROR_INTERNET_LOGIN_FAILURE:
    case ERROR_INTERNET_INCORRECT_USER_NAME:
    case ERROR_INTERNET_INCORRECT_PASSWORD:
    case ERROR_INTERNET_EXTENDED_ERROR:   // the server answered a command with an error
        return false;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case ERROR_INTERNET_DISCONNECTED:
        throw TWYXException(kWyxNoInternetConnection, where + ": error " + std::to_string(error));
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_TIMEOUT:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_FTP_DROPPED:
        throw TWYXException(kWyxServiceUnreachable, where + ": error " + std::to_string(error));
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        throw TWYXException(kWyxFileNotFound, s.filePath);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        throw TWYXException(kWyxAccessDenied, s.filePath);
    case ERROR_NOT_ENOUGH_MEMORY:
        throw TWYXException(kWyxOutOfMemory);
    default:
        throw TWYXException(kWyxFtpProtocolError, where + ": error " + std::to_string(error));
    }
}

}  // namespace

namespace wyxos {

bool TransferFtpFile(const FtpTarget& target, const std::string& filePath, const std::string& remoteName,
                     unsigned timeoutSeconds, const std::string& where) {
    // WinINet's FTP has no TLS: an ftps:// target is refused, never sent in the clear.
    if (target.scheme == UploadScheme::kFtps)
        throw TWYXException(kWyxNotSupported, "ftps:// is not available on Windows, whose FTP client has no "
                                              "encryption; nothing was sent (https:// is)");
    if (target.scheme == UploadScheme::kHttps) {
        // WinHTTP trusts the system's store alone: a CA file it cannot honour is
        // refused rather than ignored.
        if (!UploadCaFile().empty())
            throw TWYXException(kWyxNotSupported, "WYX_UPLOAD_CA is not available on Windows, where the system's "
                                                  "certificate store decides; nothing was sent");
        return PutOverHttps(WinHttpCalls(), target, ReadBoundedFile(filePath, kLargestUpload), remoteName,
                            timeoutSeconds, where);
    }
    auto session = std::make_shared<Session>();
    session->host = target.host;
    if (session->host.size() > 2 && session->host.front() == '[')
        session->host = session->host.substr(1, session->host.size() - 2);
    session->port = target.port;
    session->user = target.user;
    session->password = target.password;
    session->directory = target.directory;
    session->filePath = filePath;
    session->remoteName = remoteName;
    session->timeoutMs = timeoutSeconds * 1000;
    session->progress();

    std::thread worker(runSession, session);
    // A connect may take the whole bound, then every later step may too; a
    // second is left for WinINet to report its own time-out first.
    const ULONGLONG patience = session->timeoutMs + 1000;
    while (!session->finished.load()) {
        if (GetTickCount64() - session->lastProgress.load() > patience) {
            worker.detach();
            throw TWYXException(kWyxServiceUnreachable, where + ": no answer");
        }
        Sleep(50);
    }
    worker.join();
    return session->uploaded || refusedOrThrow(session->error, *session, where);
}

}  // namespace wyxos
