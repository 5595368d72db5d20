// FTPFile's portable front: the target and the remote name are checked here,
// once for every OS, before the OS transfer is called.
#include <cctype>

#include "ftp_transfer.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

const char* schemeText(wyxos::UploadScheme scheme) {
    switch (scheme) {
    case wyxos::UploadScheme::kFtps: return "ftps://";
    case wyxos::UploadScheme::kHttps: return "https://";
    default: return "ftp://";
    }
}

// Only a name that could be a scheme is shown: letters first, then letters,
// digits, '+', '-' and '.' (so never a credential typed without "//").
bool isSchemeName(const std::string& text) {
    if (text.empty() || text.size() > 16 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    return true;
}

}  // namespace

TOSSpecific::UploadChannel TOSSpecific::GetUploadChannel() {
    const std::string scheme = wyxos::SchemeOf(wyxos::UploadUrlFromEnvironment());
    if (scheme == "ftp") return kPlainFtpChannel;
    if (scheme == "ftps" || scheme == "https") return kEncryptedChannel;
    return kUnknownChannel;
}

bool TOSSpecific::FTPFile(std::string filePath, std::string outputBaseName) {
    const std::string url = wyxos::UploadUrlFromEnvironment();
    wyxos::FtpTarget target;
    if (!wyxos::ParseUploadUrl(url, &target)) {
        // Neither message quotes the URL: it may hold the password.
        const std::string scheme = wyxos::SchemeOf(url);
        if (scheme == "ftps" || scheme == "https")
            throw TWYXException(kWyxInvalidArgument,
                                "WYX_FTP_URL is not an " + scheme + "://[user[:password]@]host[:port]/dir/ URL");
        if (scheme != "ftp" && isSchemeName(scheme))
            throw TWYXException(kWyxInvalidArgument, "WYX_FTP_URL names the scheme '" + scheme +
                                                         "'; uploads go by ftp://, ftps:// or https:// only");
        throw TWYXException(kWyxInvalidArgument, "WYX_FTP_URL is not an ftp://[user[:password]@]host[:port]/dir/ URL");
    }
    const std::string remoteName = outputBaseName + ".xml.gz";
    if (!wyxos::IsPlainRemoteName(remoteName)) throw TWYXException(kWyxInvalidArgument, "remote file name");
    const std::string where =
        schemeText(target.scheme) + target.host + ":" + std::to_string(target.port) + target.directory;
    return wyxos::TransferFtpFile(target, filePath, remoteName, wyxos::FtpTimeoutSeconds(), where);
}
