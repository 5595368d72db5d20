// FTPFile's portable front: the target and the remote name are checked here,
// once for every OS, before the OS transfer is called.
#include "ftp_transfer.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

bool TOSSpecific::FTPFile(std::string filePath, std::string outputBaseName) {
    wyxos::FtpTarget target;
    if (!wyxos::FtpTargetFromEnvironment(&target))
        throw TWYXException(kWyxInvalidArgument, "WYX_FTP_URL is not an ftp://[user[:password]@]host[:port]/dir/ URL");
    const std::string remoteName = outputBaseName + ".xml.gz";
    if (!wyxos::IsPlainRemoteName(remoteName)) throw TWYXException(kWyxInvalidArgument, "remote file name");
    const std::string where = "ftp://" + target.host + ":" + std::to_string(target.port) + target.directory;
    return wyxos::TransferFtpFile(target, filePath, remoteName, wyxos::FtpTimeoutSeconds(), where);
}
