#ifndef WYXCORE_ELF_IMAGE_H
#define WYXCORE_ELF_IMAGE_H

#include <string>

namespace wyxos {

// False, with the reason in *error, when path is an ELF file whose loadable
// segments reach past its end (a truncated copy). The loader maps such a file
// and faults on the first page it touches beyond the end, so it is refused
// before it is opened. Files that are not ELF are left to the loader.
bool ElfSegmentsComplete(const std::string& path, std::string* error);

}  // namespace wyxos

#endif
