#include "wyxcore/output_file.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <random>

#include <boost/algorithm/string/case_conv.hpp>

#include "output_os.h"
#include "temporary_paths.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

// A write that fails because an interruption is removing its files waits for
// the end of the process instead: its failure would only be noise.
TWYXException failure(int status, const std::string& text) {
    temporarypaths::WaitIfInterrupted();
    return TWYXException(status, text);
}

bool isSafe(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

// Names that Windows takes for a device, in any case, with or without an extension.
bool isDeviceName(const std::string& name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "COM", "LPT", "CONIN$", "CONOUT$"};
    const std::string stem = boost::algorithm::to_upper_copy(name.substr(0, name.find('.')));
    for (const char* device : kDevices) {
        const std::string d = device;
        if (d == "COM" || d == "LPT") {
            if (stem.size() == 4 && stem.compare(0, 3, d) == 0 && stem[3] >= '1' && stem[3] <= '9') return true;
        } else if (stem == d) {
            return true;
        }
    }
    return false;
}

// A suffix no other writer on this machine uses at the moment: the process
// id tells processes apart, the counter the writers of one process, and the
// salt a process from an earlier one of the same id.
std::string uniqueSuffix() {
    static std::atomic<unsigned long> counter(0);
    static const unsigned long salt = [] {
        std::random_device device;
        return static_cast<unsigned long>(device()) & 0xffffffUL;
    }();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "%lu-%06lx-%lu", wyxos::ProcessId(), salt, ++counter);
    return suffix;
}

// A name beside path that no other writer uses.
std::string temporaryBeside(const std::string& path) { return path + "." + uniqueSuffix() + ".tmp"; }

const int kCreateAttempts = 8;

// Creates a new temporary file beside path; *temporary receives its name.
intptr_t createTemporary(const std::string& path, std::string* temporary) {
    int status = kWyxWriteFailed;
    std::string reason;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temporarypaths::WaitIfInterrupted();
        *temporary = temporaryBeside(path);
        const intptr_t file = wyxos::CreateExclusive(*temporary, &status, &reason);
        if (file != wyxos::kNoFile) return file;
        // Only a name taken meanwhile is worth another try.
        if (wyxos::KindOf(*temporary) == wyxos::kEntryMissing) break;
    }
    throw failure(status == kWyxFileNotFound ? kWyxAccessDenied : status, path + ": " + reason);
}

std::string joined(const std::string& directory, const std::string& name) {
    return directory + wyxos::Separator() + name;
}

// The path without trailing separators (a root stays as it is).
std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == wyxos::Separator()[0]) &&
           path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}

// Longest name of a file that norbix adds to a directory of its own: with the
// directory's own path it stays inside the 260 bytes of a Windows path.
const size_t kAddedNameMax = 100;

std::string safeName(const std::string& text, size_t max) {
    std::string name;
    for (unsigned char c : text.substr(0, max)) name += isSafe(c) ? static_cast<char>(c) : '_';
    if (name.empty()) return "_";
    // Neither "." nor "..", nor a hidden name; Windows drops a trailing dot.
    if (name.front() == '.') name.front() = '_';
    if (name.back() == '.') name.back() = '_';
    if (isDeviceName(name)) name.insert(0, "_");
    if (name.size() > max) name.pop_back();
    return name;
}

}  // namespace

std::string SafeNamePart(const std::string& text, size_t max) { return safeName(text, max); }

void WriteOutputFile(const std::string& path, const std::string& content, bool textMode) {
    TOutputFile file(path, textMode);
    file.Write(content);
    file.Commit();
}

TOutputFile::TOutputFile(const std::string& path, bool textMode)
    : path_(path), file_(createTemporary(path, &temporary_)), textMode_(textMode),
      registration_(std::make_unique<temporarypaths::TRegistration>()) {
    registration_->Register(temporary_, false);
}

TOutputFile::~TOutputFile() {
    if (file_ == wyxos::kNoFile) return;
    wyxos::CloseFile(file_);
    wyxos::RemoveFile(temporary_);
}

void TOutputFile::fail(int status, const std::string& reason) {
    if (file_ != wyxos::kNoFile) wyxos::CloseFile(file_);
    file_ = wyxos::kNoFile;
    wyxos::RemoveFile(temporary_);
    registration_->Release();
    throw failure(status, path_ + ": " + reason);
}

void TOutputFile::Write(const char* data, size_t size) {
    temporarypaths::WaitIfInterrupted();
    if (file_ == wyxos::kNoFile) throw failure(kWyxWriteFailed, path_ + ": written after it was closed");
    std::string reason;
    int status;
    if (textMode_) {
        const std::string text = wyxos::PlatformLineEnds(std::string(data, size));
        status = wyxos::WriteAll(file_, text.data(), text.size(), &reason);
    } else {
        status = wyxos::WriteAll(file_, data, size, &reason);
    }
    if (status != kWyxOK) fail(status, reason);
}

void TOutputFile::Commit() {
    if (file_ == wyxos::kNoFile) throw failure(kWyxWriteFailed, path_ + ": committed twice");
    temporarypaths::WaitIfInterrupted();
    std::string reason;
    const intptr_t file = file_;
    file_ = wyxos::kNoFile;
    int status = wyxos::SyncAndClose(file, &reason);
    // Whole from here on: an interruption leaves it rather than race the rename.
    registration_->Release();
    if (status == kWyxOK) status = wyxos::MoveOver(temporary_, path_, &reason);
    if (status == kWyxOK) return;
    wyxos::RemoveFile(temporary_);
    throw failure(status, path_ + ": " + reason);
}

const char* const kOutputManifestName = "norbix-files.txt";

TOutputDirectory::TOutputDirectory(const std::string& path)
    : path_(withoutTrailingSeparator(path)), committed_(false),
      registration_(std::make_unique<temporarypaths::TRegistration>()) {
    if (path_.empty()) throw failure(kWyxAccessDenied, "no directory name given");
    std::string reason;
    int status = kWyxWriteFailed;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temporarypaths::WaitIfInterrupted();
        temporary_ = temporaryBeside(path_);
        status = wyxos::CreatePrivateDirectory(temporary_, &reason);
        if (status == kWyxOK || wyxos::KindOf(temporary_) == wyxos::kEntryMissing) break;
    }
    if (status != kWyxOK) throw failure(status == kWyxFileNotFound ? kWyxAccessDenied : status,
                                              path_ + ": " + reason);
    registration_->Register(temporary_, true);
}

TOutputDirectory::~TOutputDirectory() {
    if (committed_) return;
    for (const std::string& name : wyxos::ListDirectory(temporary_)) wyxos::RemoveEntry(joined(temporary_, name));
    wyxos::RemoveEmptyDirectory(temporary_);
}

void TOutputDirectory::Add(const std::string& name, const std::string& content, bool textMode) {
    if (committed_) throw failure(kWyxWriteFailed, path_ + ": added to after it was put in place");
    if (name != safeName(name, kAddedNameMax) || name == kOutputManifestName ||
        std::find(names_.begin(), names_.end(), name) != names_.end())
        throw failure(kWyxInvalidArgument, path_ + ": not a name for a new file: " + name);
    // The directory is private and new, so the file goes there at once.
    const std::string path = joined(temporary_, name);
    temporarypaths::WaitIfInterrupted();
    int status = kWyxWriteFailed;
    std::string reason;
    const intptr_t file = wyxos::CreateExclusive(path, &status, &reason);
    if (file == wyxos::kNoFile) throw failure(status, path + ": " + reason);
    names_.push_back(name);
    const std::string bytes = textMode ? wyxos::PlatformLineEnds(content) : content;
    status = wyxos::WriteAll(file, bytes.data(), bytes.size(), &reason);
    if (status != kWyxOK) {
        wyxos::CloseFile(file);
        throw failure(status, path + ": " + reason);
    }
    status = wyxos::SyncAndClose(file, &reason);
    if (status != kWyxOK) throw failure(status, path + ": " + reason);
}

namespace {

const size_t kManifestMax = 4 * 1024 * 1024;

void writeManifest(const std::string& directory, const std::vector<std::string>& names) {
    std::string manifest;
    for (const std::string& name : names) manifest += name + "\n";
    const std::string path = joined(directory, kOutputManifestName);
    temporarypaths::WaitIfInterrupted();
    int status = kWyxWriteFailed;
    std::string reason;
    const intptr_t file = wyxos::CreateExclusive(path, &status, &reason);
    if (file == wyxos::kNoFile) throw failure(status, path + ": " + reason);
    status = wyxos::WriteAll(file, manifest.data(), manifest.size(), &reason);
    if (status != kWyxOK) wyxos::CloseFile(file);
    else status = wyxos::SyncAndClose(file, &reason);
    if (status != kWyxOK) throw failure(status, path + ": " + reason);
}

// The names an earlier render listed in its manifest. False when there is no
// manifest norbix could have written: too big, not a regular file, unreadable;
// then the directory is all the user's.
bool listedNames(const std::string& directory, std::vector<std::string>* names) {
    std::string manifest;
    if (!wyxos::ReadSmallFile(joined(directory, kOutputManifestName), kManifestMax, &manifest)) return false;
    size_t start = 0;
    while (start < manifest.size()) {
        size_t end = manifest.find('\n', start);
        if (end == std::string::npos) end = manifest.size();
        const std::string name = manifest.substr(start, end - start);
        if (!name.empty() && name == safeName(name, kAddedNameMax) && name != kOutputManifestName)
            names->push_back(name);
        start = end + 1;
    }
    return true;
}

// Empties the directory of an earlier render that has just been replaced by
// fresh: norbix's own files go, the user's move into fresh. Returns false when
// something of the user's could not move (its name is taken in fresh).
bool retireEarlierRender(const std::string& old, const std::string& fresh) {
    // Newest first: the file written last (an index) is what says a render is
    // whole, so a cleanup cut short never leaves one that looks whole.
    // A page replaced by a link loses the link, never what it leads to.
    std::vector<std::string> names;
    if (listedNames(old, &names)) {
        for (auto name = names.rbegin(); name != names.rend(); ++name) wyxos::RemoveEntry(joined(old, *name));
        wyxos::RemoveEntry(joined(old, kOutputManifestName));
    }
    for (const std::string& name : wyxos::ListDirectory(old)) {
        std::string reason;
        if (wyxos::KindOf(joined(fresh, name)) == wyxos::kEntryMissing)
            wyxos::MoveDirectory(joined(old, name), joined(fresh, name), &reason);
    }
    if (!wyxos::ListDirectory(old).empty()) return false;
    wyxos::RemoveEmptyDirectory(old);
    return true;
}

// Files of the user's that clash with new pages are kept, under a name that says so.
void keepBeside(const std::string& old, const std::string& path) {
    std::string reason;
    wyxos::MoveDirectory(old, path + ".kept-" + uniqueSuffix(), &reason);
}

}  // namespace

void TOutputDirectory::Commit() {
    if (committed_) throw failure(kWyxWriteFailed, path_ + ": put in place twice");
    temporarypaths::WaitIfInterrupted();
    writeManifest(temporary_, names_);
    wyxos::SyncDirectory(temporary_);
    // Another run may put its directory at the name at any moment; then ours
    // tries again, so that only the last one stays, whole.
    std::string old;
    for (int attempt = 1;; ++attempt) {
        std::string reason;
        const wyxos::EntryKind existing = wyxos::KindOf(path_);
        if (existing == wyxos::kEntryLink || existing == wyxos::kEntryFile)
            throw failure(kWyxAccessDenied, path_ + ": is not a directory that norbix can replace");
        int status;
        // Once moved, the temporary name may hold the earlier render and the
        // user's files: an interruption from here on must leave it alone.
        registration_->Release();
        if (existing == wyxos::kEntryMissing) {
            status = wyxos::MoveDirectory(temporary_, path_, &reason);
            if (status == kWyxOK) break;
        } else if (wyxos::ExchangeDirectories(temporary_, path_)) {
            // Where the OS can, the two swap at once and the name never stands empty.
            old = temporary_;
            break;
        } else {
            const std::string aside = path_ + "." + uniqueSuffix() + ".old";
            status = wyxos::MoveDirectory(path_, aside, &reason);
            if (status == kWyxOK) {
                status = wyxos::MoveDirectory(temporary_, path_, &reason);
                if (status == kWyxOK) {
                    old = aside;
                    break;
                }
                // Another run's directory came in between: the one moved aside
                // is retired into it, and ours replaces it next.
                if (!retireEarlierRender(aside, path_)) keepBeside(aside, path_);
            }
        }
        if (attempt == kCreateAttempts || (existing == wyxos::kEntryMissing &&
                                           wyxos::KindOf(path_) == wyxos::kEntryMissing))
            throw failure(status, path_ + ": " + reason);
        registration_->Register(temporary_, true);
    }
    committed_ = true;
    if (!old.empty() && !retireEarlierRender(old, path_)) keepBeside(old, path_);
}

TTranscriptFile::TTranscriptFile()
    : file_(wyxos::kNoFile), registration_(std::make_unique<temporarypaths::TRegistration>()) {}

TTranscriptFile::~TTranscriptFile() { Close(); }

bool TTranscriptFile::Open(const std::string& path) {
    Close();
    std::string temporary;
    intptr_t file;
    try {
        file = createTemporary(path, &temporary);
    } catch (const TWYXException&) {
        return false;
    }
    registration_->Register(temporary, false);
    // Renaming replaces whatever has the name, a link itself and not its target.
    std::string reason;
    if (wyxos::MoveOver(temporary, path, &reason) != kWyxOK) {
        wyxos::CloseFile(file);
        wyxos::RemoveFile(temporary);
        registration_->Release();
        return false;
    }
    registration_->Register(path, false);
    file_ = file;
    return true;
}

bool TTranscriptFile::IsOpen() const { return file_ != wyxos::kNoFile; }

bool TTranscriptFile::Write(const std::string& text) {
    if (file_ == wyxos::kNoFile) return false;
    std::string reason;
    const std::string bytes = wyxos::PlatformLineEnds(text);
    return wyxos::WriteAll(file_, bytes.data(), bytes.size(), &reason) == kWyxOK;
}

void TTranscriptFile::Close() {
    registration_->Release();
    if (file_ == wyxos::kNoFile) return;
    wyxos::CloseFile(file_);
    file_ = wyxos::kNoFile;
}
