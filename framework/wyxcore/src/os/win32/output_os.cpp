#include "output_os.h"

#include <windows.h>


#include "private_security.h"
#include "win32_error.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/status.h"

namespace wyxos {

namespace {

int statusOf(DWORD error) {
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return kWyxDiskFull;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_EXISTS ||
        error == ERROR_ALREADY_EXISTS || error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
        error == ERROR_WRITE_PROTECT || error == ERROR_INVALID_NAME)
        return kWyxAccessDenied;
    return kWyxWriteFailed;
}

int failWith(DWORD error, std::string* reason) {
    *reason = Win32ErrorText(error);
    return statusOf(error);
}

HANDLE handleOf(intptr_t file) { return reinterpret_cast<HANDLE>(file); }

// The entry itself, a link not followed (where the OS can).
HANDLE openEntry(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::string finalPathOf(HANDLE handle) {
    char buffer[MAX_PATH * 4];
    const DWORD n = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// Whether what handle reaches is the entry at path and not what a link there
// leads to. Windows opens a link itself when asked; Wine takes a Unix link
// for its target whatever it is asked, so there every call on the link
// (delete, rename) reaches the target: only the entry's real path tells.
bool isEntryItself(HANDLE handle, const std::string& path) {
    char full[MAX_PATH * 4];
    char* name = nullptr;
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, &name);
    if (n == 0 || n >= sizeof full || !name || name == full) return false;
    const std::string entryName = name;
    name[-1] = '\0';
    const std::string parent = full[0] && full[1] == ':' && !full[2] ? std::string(full) + "\\" : std::string(full);
    HANDLE directory = openEntry(parent, 0);
    if (directory == INVALID_HANDLE_VALUE) return false;
    std::string expected = finalPathOf(directory);
    CloseHandle(directory);
    if (expected.empty()) return false;
    if (expected.back() != '\\') expected += '\\';
    expected += entryName;
    const std::string actual = finalPathOf(handle);
    return !actual.empty() && lstrcmpiA(actual.c_str(), expected.c_str()) == 0;
}

bool isEntryItself(const std::string& path) {
    HANDLE handle = openEntry(path, 0);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool itself = isEntryItself(handle, path);
    CloseHandle(handle);
    return itself;
}

}  // namespace

intptr_t CreateExclusive(const std::string& path, int* status, std::string* reason) {
    // CREATE_NEW fails on any existing name, a link included, so nothing
    // planted there is followed. Delete sharing lets the file be renamed
    // while it is open.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, PrivateSecurity(),
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *status = failWith(GetLastError(), reason);
        return kNoFile;
    }
    return reinterpret_cast<intptr_t>(file);
}

int WriteAll(intptr_t file, const char* data, size_t size, std::string* reason) {
    while (size > 0) {
        const DWORD piece = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handleOf(file), data, piece, &written, nullptr)) return failWith(GetLastError(), reason);
        if (written == 0) return failWith(ERROR_DISK_FULL, reason);
        data += written;
        size -= written;
    }
    return kWyxOK;
}

int SyncAndClose(intptr_t file, std::string* reason) {
    const DWORD error = FlushFileBuffers(handleOf(file)) ? 0 : GetLastError();
    CloseHandle(handleOf(file));
    return error ? failWith(error, reason) : kWyxOK;
}

void CloseFile(intptr_t file) { CloseHandle(handleOf(file)); }

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

void RemoveEntry(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !link) return;
    // A link that cannot be reached as itself stays: removing it would remove its target.
    if (!isEntryItself(path)) return;
    if (link && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
}

// The console handler runs on a thread of its own, where anything may be called.
void RemoveTemporaryNow(const char* path, bool directory) {
    if (!directory) {
        RemoveEntry(path);
        return;
    }
    if (KindOf(path) != kEntryDirectory) return;
    for (const std::string& name : ListDirectory(path)) RemoveEntry(std::string(path) + "\\" + name);
    RemoveDirectoryA(path);
}

bool ReadSmallFile(const std::string& path, size_t max, std::string* content) {
    content->clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    LARGE_INTEGER size;
    bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
              !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
              GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= max &&
              isEntryItself(file, path);
    char buffer[65536];
    while (ok) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) ok = false;
        if (!ok || n == 0) break;
        // A file that grows while it is read is held to the same bound.
        ok = content->size() + n <= max;
        if (ok) content->append(buffer, n);
    }
    CloseHandle(file);
    if (!ok) content->clear();
    return ok;
}

// The file's ACL, set private when norbix wrote it, decides who else may read it.
std::string ForeignFileProblem(const std::string&) { return std::string(); }

std::string PlatformLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

void SyncDirectory(const std::string&) {}

int MoveOver(const std::string& from, const std::string& to, std::string* reason) {
    // Another writer replacing the same name at this moment can hold it for an
    // instant; the last one wins.
    DWORD error = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return kWyxOK;
        error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) break;
        Sleep(10);
    }
    return failWith(error, reason);
}

int MoveDirectory(const std::string& from, const std::string& to, std::string* reason) {
    // Under Wine renaming a link moves its target.
    if (!isEntryItself(from)) return failWith(ERROR_ACCESS_DENIED, reason);
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return kWyxOK;
    return failWith(GetLastError(), reason);
}

bool ExchangeDirectories(const std::string&, const std::string&) { return false; }

int CreatePrivateDirectory(const std::string& path, std::string* reason) {
    if (CreateDirectoryA(path.c_str(), PrivateSecurity())) return kWyxOK;
    return failWith(GetLastError(), reason);
}

void RemoveEmptyDirectory(const std::string& path) { RemoveDirectoryA(path.c_str()); }

EntryKind KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return kEntryMissing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return kEntryLink;
    if (!isEntryItself(path)) return kEntryLink;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? kEntryDirectory : kEntryFile;
}

std::vector<std::string> ListDirectory(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

const char* Separator() { return "\\"; }

}  // namespace wyxos

std::string PrivateDirectoryProblem(const std::string& path) {
    switch (wyxos::KindOf(path)) {
    case wyxos::kEntryMissing: return "cannot be examined: " + wyxos::Win32ErrorText(GetLastError());
    case wyxos::kEntryLink: return "is a symbolic link";
    case wyxos::kEntryFile: return "is not a directory";
    default: return std::string();
    }
}
