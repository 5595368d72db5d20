#ifndef WYXCORE_OUTPUT_OS_H
#define WYXCORE_OUTPUT_OS_H

// The OS primitives under the output writer. Each failing call returns a
// status (kWyxAccessDenied, kWyxDiskFull, kWyxWriteFailed, kWyxFileNotFound)
// and puts the OS's reason into *reason.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wyxos {

const intptr_t kNoFile = -1;

// Creates path, which must not exist (a link there counts), private to the user.
intptr_t CreateExclusive(const std::string& path, int* status, std::string* reason);
int WriteAll(intptr_t file, const char* data, size_t size, std::string* reason);
// Flushes the file to disk and closes it; closed also on failure.
int SyncAndClose(intptr_t file, std::string* reason);
void CloseFile(intptr_t file);
void RemoveFile(const std::string& path);
// Removes a file or a link (the link itself, never its target); a directory stays.
void RemoveEntry(const std::string& path);
// Removes a file, or a directory with the files in it, never following a
// link; for an interrupted run, so safe in a signal handler.
void RemoveTemporaryNow(const char* path, bool directory);
// The content of a regular file of at most max bytes, read without following
// a link or waiting on a pipe; false for anything else.
bool ReadSmallFile(const std::string& path, size_t max, std::string* content);
// Why a regular file is not the running user's alone (another owner, open to
// others); empty when it is, or where the OS leaves that to the file's ACL.
std::string ForeignFileProblem(const std::string& path);

// Text with the platform's line ends.
std::string PlatformLineEnds(const std::string& text);
unsigned long ProcessId();

// Renames a file over to, replacing it, and makes the rename durable.
int MoveOver(const std::string& from, const std::string& to, std::string* reason);
// Renames a directory to a name that must not exist.
int MoveDirectory(const std::string& from, const std::string& to, std::string* reason);
// Puts directory from at to, where a directory exists, and the one that was
// at to at from. False when the OS cannot swap at once (then nothing moved).
bool ExchangeDirectories(const std::string& from, const std::string& to);
// Creates one directory private to the user.
int CreatePrivateDirectory(const std::string& path, std::string* reason);
void RemoveEmptyDirectory(const std::string& path);
// Flushes a directory's entries to disk (a no-op where the OS has no such call).
void SyncDirectory(const std::string& path);

enum EntryKind { kEntryMissing, kEntryDirectory, kEntryFile, kEntryLink };
// What is at path, a link not followed.
EntryKind KindOf(const std::string& path);
// The names in a directory, without "." and "..".
std::vector<std::string> ListDirectory(const std::string& path);
const char* Separator();

}  // namespace wyxos

#endif
