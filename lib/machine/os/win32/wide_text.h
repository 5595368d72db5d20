#ifndef MACHINE_WIDE_TEXT_H
#define MACHINE_WIDE_TEXT_H

#include <windows.h>

#include <string>

namespace machine {

// A UTF-16 text of the Windows APIs as 8-bit text in the system's code page,
// the form all of norbix's text takes.
inline std::string Narrow(const wchar_t* text) {
    if (!text) return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

}  // namespace machine

#endif
