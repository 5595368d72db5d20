// Signal-safe: open, write, fsync, rename, close, unlink only.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "crash_file_name.h"
#include "wyxcore/crash_file.h"

TCrashFile::TCrashFile() : file_(-1) { path_[0] = temporary_[0] = '\0'; }

bool TCrashFile::Prepare(const char* path) {
    return wyxos::CrashFileNames(path, static_cast<unsigned long>(getpid()), path_, sizeof path_, temporary_,
                                 sizeof temporary_);
}

intptr_t TCrashFile::Create() {
    if (!temporary_[0]) {
        errno = ENAMETOOLONG;
        return -1;
    }
    // The final name must be one a file can be renamed over.
    struct stat st;
    if (lstat(path_, &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return -1;
    }
    // A file left by an earlier crash of a process with the same id.
    unlink(temporary_);
    file_ = open(temporary_, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    return file_;
}

void TCrashFile::Abandon() {
    const int error = errno;
    if (file_ >= 0) close(static_cast<int>(file_));
    file_ = -1;
    unlink(temporary_);
    errno = error;
}

bool TCrashFile::Commit() {
    const int fd = static_cast<int>(file_);
    file_ = -1;
    int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    if (close(fd) != 0 && !error && errno != EINTR) error = errno;
    if (!error && rename(temporary_, path_) != 0) error = errno;
    if (!error) return true;
    unlink(temporary_);
    errno = error;
    return false;
}
