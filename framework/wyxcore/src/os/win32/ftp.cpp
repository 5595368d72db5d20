// FTP upload through WinINet, in passive mode, every wait bounded.
#include <windows.h>
#include <wininet.h>

#include "ftp_target.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

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

// Throws for a failure of the connection; false when the server refused.
bool refusedOrThrow(DWORD error, const std::string& where) {
    switch (error) {
    case ERROR_INTERNET_LOGIN_FAILURE:
    case ERROR_INTERNET_INCORRECT_USER_NAME:
    case ERROR_INTERNET_INCORRECT_PASSWORD:
    case ERROR_INTERNET_EXTENDED_ERROR:   // the server answered the command with an error
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
    case ERROR_NOT_ENOUGH_MEMORY:
        throw TWYXException(kWyxOutOfMemory);
    default:
        throw TWYXException(kWyxFtpProtocolError, where + ": error " + std::to_string(error));
    }
}

void setTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
    InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

}  // namespace

bool TOSSpecific::FTPFile(std::string filePath, std::string outputBaseName) {
    wyxos::FtpTarget target;
    if (!wyxos::FtpTargetFromEnvironment(&target))
        throw TWYXException(kWyxInvalidArgument, "WYX_FTP_URL is not an ftp://[user[:password]@]host[:port]/dir/ URL");
    const std::string remoteName = outputBaseName + ".xml.gz";
    if (!wyxos::IsPlainRemoteName(remoteName)) throw TWYXException(kWyxInvalidArgument, "remote file name");

    const DWORD attributes = GetFileAttributesA(filePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const DWORD error = GetLastError();
        throw TWYXException(error == ERROR_ACCESS_DENIED ? kWyxAccessDenied
                            : attributes != INVALID_FILE_ATTRIBUTES || error == ERROR_FILE_NOT_FOUND ||
                                    error == ERROR_PATH_NOT_FOUND
                                ? kWyxFileNotFound
                                : kWyxReadFailed,
                            filePath);
    }

    std::string host = target.host;
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    const std::string where = "ftp://" + target.host + ":" + std::to_string(target.port) + target.directory;
    const DWORD timeout = wyxos::FtpTimeoutSeconds() * 1000;

    InternetHandle internet(InternetOpenA("OSK", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet.get()) refusedOrThrow(GetLastError(), where);
    setTimeout(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, timeout);
    setTimeout(internet.get(), INTERNET_OPTION_SEND_TIMEOUT, timeout);
    setTimeout(internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, timeout);
    setTimeout(internet.get(), INTERNET_OPTION_DATA_SEND_TIMEOUT, timeout);
    setTimeout(internet.get(), INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, timeout);

    const bool anonymous = target.user.empty();
    InternetHandle ftp(InternetConnectA(internet.get(), host.c_str(), static_cast<INTERNET_PORT>(target.port),
                                        anonymous ? nullptr : target.user.c_str(),
                                        anonymous ? nullptr : target.password.c_str(), INTERNET_SERVICE_FTP,
                                        INTERNET_FLAG_PASSIVE, 0));
    if (!ftp.get()) return refusedOrThrow(GetLastError(), where);
    if (target.directory != "/" && !FtpSetCurrentDirectoryA(ftp.get(), target.directory.substr(1).c_str()))
        return refusedOrThrow(GetLastError(), where);
    if (!FtpPutFileA(ftp.get(), filePath.c_str(), remoteName.c_str(), FTP_TRANSFER_TYPE_BINARY, 0))
        return refusedOrThrow(GetLastError(), where);
    return true;
}
