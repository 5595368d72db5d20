#ifndef WYXCORE_FTP_TRANSFER_H
#define WYXCORE_FTP_TRANSFER_H

// The OS part of TOSSpecific::FTPFile (os/*/ftp.cpp): the transfer alone. The
// portable front (ftp.cpp) has checked the target and the remote name.

#include <string>

#include "ftp_target.h"

namespace wyxos {

// Sends the file at filePath to target's directory under remoteName, by the
// target's scheme (ftp, ftps or https), waiting at most timeoutSeconds on each
// step. An encrypted scheme verifies the server's certificate (WYX_UPLOAD_CA or
// the system's store) and throws kWyxTlsFailed, the reason in the detail, when
// no encrypted channel comes about. False when the server refuses the login or
// the upload; throws TWYXException for a failure of the connection or of the
// local file. where names the server in messages (never with credentials).
bool TransferFtpFile(const FtpTarget& target, const std::string& filePath, const std::string& remoteName,
                     unsigned timeoutSeconds, const std::string& where);

}  // namespace wyxos

#endif
