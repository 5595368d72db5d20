#ifndef WYXCORE_FILE_IO_H
#define WYXCORE_FILE_IO_H

#include <string>

namespace fileio {

// The whole file. Throws TWYXException: kWyxFileNotFound, kWyxAccessDenied,
// kWyxReadFailed.
std::string ReadAll(const std::string& path);

}  // namespace fileio

#endif
