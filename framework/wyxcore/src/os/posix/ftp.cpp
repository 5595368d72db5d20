// Upload through libcurl: FTP, FTP with explicit TLS, or an HTTPS PUT.
// Credentials go to libcurl as options, never in the URL, so no error text can
// carry them.
#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "errno_status.h"
#include "ftp_transfer.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

void initCurlOnce() {
    static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (init != CURLE_OK) throw TWYXException(kWyxGeneralFailure, "libcurl could not be initialised");
}

std::string escaped(CURL* curl, const std::string& text) {
    char* escapedText = curl_easy_escape(curl, text.c_str(), static_cast<int>(text.size()));
    if (!escapedText) throw TWYXException(kWyxOutOfMemory);
    std::string result(escapedText);
    curl_free(escapedText);
    return result;
}

// Every path segment escaped, the slashes kept.
std::string escapedPath(CURL* curl, const std::string& path) {
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        result += escaped(curl, path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos) break;
        result += '/';
        start = slash + 1;
    }
    return result;
}

// Throws for a failure of the connection; false when the server refused.
bool outcome(CURL* curl, CURLcode code, const std::string& where, const char* reason) {
    switch (code) {
    case CURLE_OK:
        return true;
    case CURLE_HTTP_RETURNED_ERROR:
        return false;
    // No encrypted channel: the server offers none, or its certificate (name,
    // chain, dates) does not verify. libcurl's reason says which.
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        throw TWYXException(kWyxTlsFailed, where + ": " + (*reason ? reason : curl_easy_strerror(code)));
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_UPLOAD_FAILED:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_QUOTE_ERROR:
        return false;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        throw TWYXException(kWyxNoInternetConnection, where + ": " + curl_easy_strerror(code));
    case CURLE_COULDNT_CONNECT: {
        long osError = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
        const bool noRoute = osError == ENETUNREACH || osError == EHOSTUNREACH || osError == ENETDOWN;
        throw TWYXException(noRoute ? kWyxNoInternetConnection : kWyxServiceUnreachable,
                            where + ": " + curl_easy_strerror(code));
    }
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        throw TWYXException(kWyxServiceUnreachable, where + ": " + curl_easy_strerror(code));
    case CURLE_READ_ERROR:
        throw TWYXException(kWyxReadFailed, where + ": " + curl_easy_strerror(code));
    case CURLE_OUT_OF_MEMORY:
        throw TWYXException(kWyxOutOfMemory);
    default:
        throw TWYXException(kWyxFtpProtocolError, where + ": " + curl_easy_strerror(code));
    }
}

}  // namespace

namespace wyxos {

bool TransferFtpFile(const FtpTarget& target, const std::string& filePath, const std::string& remoteName,
                     unsigned timeoutSeconds, const std::string& where) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(filePath.c_str(), "rb"));
    if (!file) {
        const int error = errno;
        throw TWYXException(StatusOfErrno(error, FileUse::kRead), filePath);
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) throw TWYXException(kWyxReadFailed, filePath);
    const long size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) throw TWYXException(kWyxReadFailed, filePath);

    initCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) throw TWYXException(kWyxOutOfMemory);
    CURL* c = curl.get();
    const bool https = target.scheme == UploadScheme::kHttps;
    const std::string url = (https ? "https://" : "ftp://") + target.host + ":" + std::to_string(target.port) +
                            escapedPath(c, target.directory) + escaped(c, remoteName);
    const long timeout = static_cast<long>(timeoutSeconds);

    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, https ? "https" : "ftp");
    char reason[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, reason);
    std::unique_ptr<curl_slist, HeaderListDeleter> headers;
    if (target.scheme != UploadScheme::kFtp) {
        // Control and data connections both encrypted, or no transfer at all.
        if (target.scheme == UploadScheme::kFtps) curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
        const std::string ca = UploadCaFile();
        if (!ca.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, ca.c_str());
    }
    if (https) {
        // A redirect is not followed: it could lead to plain HTTP.
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        // The body goes at once, without waiting for a "100 Continue".
        headers.reset(curl_slist_append(nullptr, "Expect:"));
        if (!headers) throw TWYXException(kWyxOutOfMemory);
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    }
    if (!target.user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, target.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, target.password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READDATA, file.get());
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(c, CURLOPT_ACCEPTTIMEOUT_MS, timeout * 1000);
    // A transfer that moves nothing for the whole bound is given up.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, timeout);
    const bool sent = outcome(c, curl_easy_perform(c), where, reason);
    if (!sent || !https) return sent;
    // Only a 2xx answer means the file was taken (a 3xx is no failure to libcurl).
    long answer = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &answer);
    return answer >= 200 && answer < 300;
}

}  // namespace wyxos
