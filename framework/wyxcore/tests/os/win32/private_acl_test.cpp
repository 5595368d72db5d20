// What Windows keeps of the ACL that norbix gives the directories and files it
// creates: the administrators and the running user, nothing inherited.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/output_file.h"

namespace {

std::vector<char> tokenUser() {
    HANDLE token = nullptr;
    std::vector<char> buffer;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return buffer;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    buffer.resize(size);
    if (!size || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) buffer.clear();
    CloseHandle(token);
    return buffer;
}

std::string sidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return "?";
    const std::string result = text;
    LocalFree(text);
    return result;
}

// Wine keeps no ACL: it reads back one of its own making (the system and the
// user) and maps what it is given onto the Unix mode bits instead, which the
// end-to-end tests check.
bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(PrivateAcl, OnlyTheAdministratorsAndTheUser) {
    if (underWine()) GTEST_SKIP() << "Wine keeps no ACL";
    testsupport::TempDir dir;
    TOSSpecific::CreateDir(dir.path("made"));
    WriteOutputFile(dir.path("made") + "\\file.txt", "x");
    const std::vector<char> user = tokenUser();
    ASSERT_FALSE(user.empty());
    PSID userSid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                         0, 0, &admins));
    for (const std::string& path : {dir.path("made"), dir.path("made") + "\\file.txt"}) {
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        const DWORD error = GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                                  nullptr, &dacl, nullptr, &descriptor);
        if (error != ERROR_SUCCESS || !dacl) {
            if (descriptor) LocalFree(descriptor);
            FreeSid(admins);
            GTEST_SKIP() << "this system keeps no ACL for " << path << " (error " << error << ")";
        }
        std::vector<PSID> sids;
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            void* ace = nullptr;
            ASSERT_TRUE(GetAce(dacl, i, &ace));
            const ACE_HEADER* header = static_cast<const ACE_HEADER*>(ace);
            EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, header->AceType) << path;
            sids.push_back(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart);
        }
        ASSERT_EQ(2u, sids.size()) << path;
        // In either order: the ACL's order is the system's.
        const bool adminsFirst = EqualSid(sids[0], admins);
        EXPECT_TRUE(EqualSid(sids[adminsFirst ? 0 : 1], admins)) << path << ": " << sidText(sids[0]);
        EXPECT_TRUE(EqualSid(sids[adminsFirst ? 1 : 0], userSid)) << path << ": " << sidText(sids[1]);
        LocalFree(descriptor);
    }
    FreeSid(admins);
}

}  // namespace
