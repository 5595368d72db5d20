#ifndef WYXCORE_WIN32_ERROR_H
#define WYXCORE_WIN32_ERROR_H

#include <windows.h>

#include <string>

namespace wyxos {

// "<code>: <system text>" for a Win32 error code.
inline std::string Win32ErrorText(DWORD code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = "error " + std::to_string(code);
    if (n && text) {
        std::string message(text, n);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
            message.pop_back();
        result += ": " + message;
    }
    if (text) LocalFree(text);
    return result;
}

}  // namespace wyxos

#endif
