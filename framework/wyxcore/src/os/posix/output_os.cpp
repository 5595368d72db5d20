#include "output_os.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "errno_status.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/status.h"

namespace wyxos {

namespace {

int failWith(int error, std::string* reason) {
    *reason = std::strerror(error);
    return StatusOfErrno(error, FileUse::kWrite);
}

// The directory part of a path ("." when it has none).
std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

intptr_t CreateExclusive(const std::string& path, int* status, std::string* reason) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) *status = failWith(errno, reason);
    return fd;
}

int WriteAll(intptr_t file, const char* data, size_t size, std::string* reason) {
    while (size > 0) {
        const ssize_t n = write(static_cast<int>(file), data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return failWith(n < 0 ? errno : ENOSPC, reason);
        data += n;
        size -= static_cast<size_t>(n);
    }
    return kWyxOK;
}

int SyncAndClose(intptr_t file, std::string* reason) {
    const int fd = static_cast<int>(file);
    int error = fsync(fd) == 0 ? 0 : errno;
    // A file system that cannot sync (a pipe, some virtual ones) says so; the data is written.
    if (error == EINVAL || error == EROFS) error = 0;
    if (close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    return error ? failWith(error, reason) : kWyxOK;
}

void CloseFile(intptr_t file) { close(static_cast<int>(file)); }

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

void RemoveEntry(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) unlink(path.c_str());
}

namespace {

#ifdef SYS_getdents64
struct DirectoryEntry {
    uint64_t inode;
    int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Removes the entries of an open directory; true when there were none left.
// The raw call, since opendir allocates.
bool removeEntriesOf(int directory) {
    alignas(8) char buffer[4096];
    bool none = true;
    for (;;) {
        const long n = syscall(SYS_getdents64, directory, buffer, sizeof buffer);
        if (n <= 0) return none;
        for (long at = 0; at < n;) {
            const DirectoryEntry* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
            at += entry->length;
            const char* name = entry->name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
            unlinkat(directory, name, 0);
            none = false;
        }
    }
}
#endif

}  // namespace

void RemoveTemporaryNow(const char* path, bool directory) {
    if (!directory) {
        unlink(path);
        return;
    }
#ifdef SYS_getdents64
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        // Entries removed while the directory is read may hide others: read again until none is left.
        for (int pass = 0; pass < 4 && !removeEntriesOf(fd); ++pass) lseek(fd, 0, SEEK_SET);
        close(fd);
    }
#endif
    rmdir(path);
}

bool ReadSmallFile(const std::string& path, size_t max, std::string* content) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) <= max;
    content->clear();
    char buffer[65536];
    while (ok) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        // A file that grows while it is read is held to the same bound.
        ok = content->size() + static_cast<size_t>(n) <= max;
        if (ok) content->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (!ok) content->clear();
    return ok;
}

std::string ForeignFileProblem(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return std::string("cannot be examined: ") + std::strerror(errno);
    if (!S_ISREG(st.st_mode)) return "is not a regular file";
    if (st.st_uid != geteuid()) return "belongs to another user";
    if ((st.st_mode & 077) != 0) return "is open to other users";
    return std::string();
}

std::string PlatformLineEnds(const std::string& text) { return text; }

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

void SyncDirectory(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int MoveOver(const std::string& from, const std::string& to, std::string* reason) {
    if (rename(from.c_str(), to.c_str()) != 0) return failWith(errno, reason);
    SyncDirectory(DirectoryOf(to));
    return kWyxOK;
}

int MoveDirectory(const std::string& from, const std::string& to, std::string* reason) {
    // RENAME_NOREPLACE is not everywhere; a directory at to would only be
    // replaced when empty, and norbix never makes one there.
    if (KindOf(to) != kEntryMissing) return failWith(EEXIST, reason);
    if (rename(from.c_str(), to.c_str()) != 0) return failWith(errno, reason);
    SyncDirectory(DirectoryOf(to));
    return kWyxOK;
}

bool ExchangeDirectories(const std::string& from, const std::string& to) {
#ifdef RENAME_EXCHANGE
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0) return false;
    SyncDirectory(DirectoryOf(to));
    return true;
#else
    (void)from;
    (void)to;
    return false;
#endif
}

int CreatePrivateDirectory(const std::string& path, std::string* reason) {
    if (mkdir(path.c_str(), 0700) != 0) return failWith(errno, reason);
    return kWyxOK;
}

void RemoveEmptyDirectory(const std::string& path) { rmdir(path.c_str()); }

EntryKind KindOf(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return kEntryMissing;
    if (S_ISLNK(st.st_mode)) return kEntryLink;
    return S_ISDIR(st.st_mode) ? kEntryDirectory : kEntryFile;
}

std::vector<std::string> ListDirectory(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

const char* Separator() { return "/"; }

}  // namespace wyxos

std::string PrivateDirectoryProblem(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return std::string("cannot be examined: ") + std::strerror(errno);
    if (S_ISLNK(st.st_mode)) return "is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return "is not a directory";
    if (st.st_uid != geteuid()) return "belongs to another user";
    return std::string();
}
