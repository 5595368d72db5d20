// The transfer of the compressed XML file, after a window in which any key
// cancels it.
#include "collector_app.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

const char* const kStars = "                              ***************\n";

}  // namespace

bool CollectorApp::uploadOutput(std::string xmlPath) {
    const TOSSpecific::UploadChannel channel = TOSSpecific::GetUploadChannel();
    writeConsole("\n\n");
    writeConsole(kStars);
    // The box must not call an encrypted channel unencrypted.
    if (channel == TOSSpecific::kEncryptedChannel)
        writeConsole("Attempted data upload to VARN by means of an encrypted channel will\n");
    else
        writeConsole("Attempted data upload to VARN by means of an unencrypted channel will\n");
    writeConsole("proceed in 10 seconds.  Press any key to cancel the attempted upload.\n");
    writeConsole(kStars);
    // The key is tested before every pause and once more after the last one, so
    // a key pressed at any time inside the window cancels.
    for (int pass = 0; pass <= 10; ++pass) {
        if (TOSSpecific::IsKeyWaiting()) {
            TOSSpecific::GetKeyboardChar();
            writeConsole("\nUpload cancelled.\n");
            return false;
        }
        if (pass == 10) break;
        TOSSpecific::USleep(1000);
        writeConsole(".");
    }
    writeConsole("\nTransferring collected data to VARN Service.\n");
    try {
        if (TOSSpecific::FTPFile(xmlPath, outputBaseName)) {
            writeConsole("Transfer complete.\n");
            return true;
        }
        writeConsole("Transfer failed.\n");
    } catch (const TWYXException& e) {
        if (e.GetStatus() == kWyxServiceUnreachable)
            writeConsole("ERROR: Couldn't connect to VARN Service.\n");
        else if (e.GetStatus() == kWyxNoInternetConnection)
            writeConsole("ERROR: Couldn't establish Internet connection.\n");
        else if (e.GetStatus() == kWyxTlsFailed)
            writeConsole("ERROR: Couldn't set up an encrypted channel to " + e.GetDetail() + ".\n");
        // Beyond plain FTP, a bad URL or a scheme this system cannot use is said
        // in words (the detail never holds the URL's credentials).
        else if (channel != TOSSpecific::kPlainFtpChannel &&
                 (e.GetStatus() == kWyxInvalidArgument || e.GetStatus() == kWyxNotSupported) &&
                 !e.GetDetail().empty())
            writeConsole("ERROR: " + e.GetDetail() + ".\n");
        else
            writeConsole(std::string("ERROR: FTPFile threw exception ") + wyxTranslateStatusCode(e.GetStatus()) +
                         ".\n");
    }
    return false;
}
