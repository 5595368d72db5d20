#include <windows.h>

#include "crash_file_name.h"
#include "private_security.h"
#include "wyxcore/crash_file.h"

TCrashFile::TCrashFile() : file_(-1) { path_[0] = temporary_[0] = '\0'; }

bool TCrashFile::Prepare(const char* path) {
    return wyxos::CrashFileNames(path, GetCurrentProcessId(), path_, sizeof path_, temporary_, sizeof temporary_);
}

intptr_t TCrashFile::Create() {
    if (!temporary_[0]) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return -1;
    }
    // The final name must be one a file can be renamed over.
    const DWORD attributes = GetFileAttributesA(path_);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return -1;
    }
    DeleteFileA(temporary_);
    HANDLE file = CreateFileA(temporary_, GENERIC_WRITE, 0, wyxos::PrivateSecurity(), CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    file_ = file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(file);
    return file_;
}

void TCrashFile::Abandon() {
    const DWORD error = GetLastError();
    if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
    file_ = -1;
    DeleteFileA(temporary_);
    SetLastError(error);
}

bool TCrashFile::Commit() {
    HANDLE file = reinterpret_cast<HANDLE>(file_);
    file_ = -1;
    DWORD error = FlushFileBuffers(file) ? 0 : GetLastError();
    CloseHandle(file);
    if (!error && !MoveFileExA(temporary_, path_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (!error) return true;
    DeleteFileA(temporary_);
    SetLastError(error);
    return false;
}
