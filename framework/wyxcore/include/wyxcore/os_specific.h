#ifndef WYXCORE_OS_SPECIFIC_H
#define WYXCORE_OS_SPECIFIC_H

#include <string>

#include "wyxcore/datetime.h"
#include "wyxcore/export.h"

class WYX_API TOSSpecific {
public:
    static const std::string kPluginExtension;   // ".pi.dll" / ".pi.so"
    static const std::string kFileSeparator;     // "\\" / "/"

    // Local date and time with the local UTC offset.
    static TCIMDateTime GetLocalTime();
    // Throws TWYXException: kWyxInvalidDirectory for a name the OS rejects.
    static bool DirExists(const std::string& path);
    // Creates one directory; throws TWYXException on failure.
    static void CreateDir(const std::string& path);
    // True when a key (on a pipe: a byte) waits on standard input; not consumed.
    static bool IsKeyWaiting();
    // Consumes one waiting key; -1 when there is none.
    static int GetKeyboardChar();
    // Pauses count milliseconds.
    static void USleep(unsigned int count);
    // Uploads the file under the name outputBaseName + ".xml.gz" to WYX_FTP_URL.
    // False when the server refuses the login or the upload; throws TWYXException
    // kWyxNoInternetConnection or kWyxServiceUnreachable.
    // WYX_FTP_URL may also name ftps:// (explicit TLS on the control and data
    // connections) or https:// (a PUT of the file to the URL's directory);
    // their certificates are verified against the system's trust store, or the
    // CA file WYX_UPLOAD_CA. kWyxTlsFailed when no encrypted channel comes
    // about; never a fall-back to plain text.
    static bool FTPFile(std::string filePath, std::string outputBaseName);
    // The channel WYX_FTP_URL names: ftp:// (or no URL), ftps:// or https://,
    // or another scheme.
    enum UploadChannel { kPlainFtpChannel, kEncryptedChannel, kUnknownChannel };
    static UploadChannel GetUploadChannel();
    // Full path of the running executable's directory, with no trailing separator.
    static std::string GetExecutableDir();
    // Ends the process with status after flushing the standard streams, running
    // no destructor, exit handler or library finaliser: the way out while a
    // thread that cannot be joined may still run (see AbandonedQueryCount).
    [[noreturn]] static void EndProcessNow(int status);
};

#endif
