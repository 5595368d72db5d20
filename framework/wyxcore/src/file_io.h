#ifndef WYXCORE_FILE_IO_H
#define WYXCORE_FILE_IO_H

#include <string>

namespace fileio {

// The whole file. Throws TWYXException: kWyxFileNotFound, kWyxAccessDenied,
// kWyxReadFailed.
std::string ReadAll(const std::string& path);
// Writes data under a temporary name beside path and renames it over path, so
// path never holds a partial file. Throws TWYXException: kWyxAccessDenied,
// kWyxDiskFull, kWyxWriteFailed.
void WriteAtomically(const std::string& path, const std::string& data);

}  // namespace fileio

#endif
