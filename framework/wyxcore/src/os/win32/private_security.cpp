#include "private_security.h"

#include <sddl.h>

#include <string>

namespace wyxos {

namespace {

// The running user's SID as text, empty when it cannot be read.
std::string userSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    std::string sid;
    char* text = nullptr;
    if (size && GetTokenInformation(token, TokenUser, &buffer[0], size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

SECURITY_ATTRIBUTES* build() {
    const std::string sid = userSid();
    if (sid.empty()) return nullptr;
    // Protected (P): nothing inherited from the parent; full access for the
    // administrators (BA) and the user, passed on to files and directories inside.
    const std::string sddl = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;" + sid + ")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    // Kept for the life of the process.
    static SECURITY_ATTRIBUTES attributes;
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = descriptor;
    attributes.bInheritHandle = FALSE;
    return &attributes;
}

}  // namespace

SECURITY_ATTRIBUTES* PrivateSecurity() {
    static SECURITY_ATTRIBUTES* const attributes = build();
    return attributes;
}

}  // namespace wyxos
