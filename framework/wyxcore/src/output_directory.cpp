#include "wyxcore/output_directory.h"

#include <algorithm>

#include "output_os.h"
#include "temporary_names.h"
#include "temporary_paths.h"
#include "wyxcore/safe_name.h"
#include "wyxcore/status.h"

namespace {

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

}  // namespace

const char* const kOutputManifestName = "norbix-files.txt";

TOutputDirectory::TOutputDirectory(const std::string& path)
    : path_(withoutTrailingSeparator(path)), committed_(false),
      registration_(std::make_unique<temporarypaths::TRegistration>()) {
    if (path_.empty()) throw outputnames::Failure(kWyxAccessDenied, "no directory name given");
    std::string reason;
    int status = kWyxWriteFailed;
    for (int attempt = 0; attempt < outputnames::kCreateAttempts; ++attempt) {
        temporarypaths::WaitIfInterrupted();
        temporary_ = outputnames::TemporaryBeside(path_);
        // Registered before it exists, as a temporary file is.
        registration_->Register(temporary_, true);
        status = wyxos::CreatePrivateDirectory(temporary_, &reason);
        if (status == kWyxOK || wyxos::KindOf(temporary_) == wyxos::kEntryMissing) break;
    }
    if (status != kWyxOK) {
        registration_->Release();
        throw outputnames::Failure(status == kWyxFileNotFound ? kWyxAccessDenied : status, path_ + ": " + reason);
    }
}

TOutputDirectory::~TOutputDirectory() {
    if (committed_) return;
    for (const std::string& name : wyxos::ListDirectory(temporary_)) wyxos::RemoveEntry(outputnames::Joined(temporary_, name));
    wyxos::RemoveEmptyDirectory(temporary_);
}

namespace {

// A file of the private temporary directory, written whole and flushed.
void writeNewFile(const std::string& path, const std::string& bytes) {
    temporarypaths::WaitIfInterrupted();
    int status = kWyxWriteFailed;
    std::string reason;
    const intptr_t file = wyxos::CreateExclusive(path, &status, &reason);
    if (file == wyxos::kNoFile) throw outputnames::Failure(status, path + ": " + reason);
    status = wyxos::WriteAll(file, bytes.data(), bytes.size(), &reason);
    if (status != kWyxOK) wyxos::CloseFile(file);
    else status = wyxos::SyncAndClose(file, &reason);
    if (status != kWyxOK) throw outputnames::Failure(status, path + ": " + reason);
}

}  // namespace

void TOutputDirectory::Add(const std::string& name, const std::string& content, bool textMode) {
    if (committed_) throw outputnames::Failure(kWyxWriteFailed, path_ + ": added to after it was put in place");
    if (name != SafeNamePart(name, kAddedNameMax) || name == kOutputManifestName ||
        std::find(names_.begin(), names_.end(), name) != names_.end())
        throw outputnames::Failure(kWyxInvalidArgument, path_ + ": not a name for a new file: " + name);
    // The directory is private and new, so the file goes there at once.
    writeNewFile(outputnames::Joined(temporary_, name), textMode ? wyxos::PlatformLineEnds(content) : content);
    names_.push_back(name);
}

namespace {

const size_t kManifestMax = 4 * 1024 * 1024;

void writeManifest(const std::string& directory, const std::vector<std::string>& names) {
    std::string manifest;
    for (const std::string& name : names) manifest += name + "\n";
    writeNewFile(outputnames::Joined(directory, kOutputManifestName), manifest);
}

// The names an earlier render listed in its manifest. False when there is no
// manifest norbix could have written: too big, not a regular file, unreadable;
// then the directory is all the user's.
bool listedNames(const std::string& directory, std::vector<std::string>* names) {
    std::string manifest;
    if (!wyxos::ReadSmallFile(outputnames::Joined(directory, kOutputManifestName), kManifestMax, &manifest)) return false;
    size_t start = 0;
    while (start < manifest.size()) {
        size_t end = manifest.find('\n', start);
        if (end == std::string::npos) end = manifest.size();
        const std::string name = manifest.substr(start, end - start);
        if (!name.empty() && name == SafeNamePart(name, kAddedNameMax) && name != kOutputManifestName)
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
        for (auto name = names.rbegin(); name != names.rend(); ++name) wyxos::RemoveEntry(outputnames::Joined(old, *name));
        wyxos::RemoveEntry(outputnames::Joined(old, kOutputManifestName));
    }
    for (const std::string& name : wyxos::ListDirectory(old)) {
        std::string reason;
        if (wyxos::KindOf(outputnames::Joined(fresh, name)) == wyxos::kEntryMissing)
            wyxos::MoveDirectory(outputnames::Joined(old, name), outputnames::Joined(fresh, name), &reason);
    }
    if (!wyxos::ListDirectory(old).empty()) return false;
    wyxos::RemoveEmptyDirectory(old);
    return true;
}

// Files of the user's that clash with new pages are kept, under a name that says so.
void keepBeside(const std::string& old, const std::string& path) {
    std::string reason;
    wyxos::MoveDirectory(old, path + ".kept-" + outputnames::UniqueSuffix(), &reason);
}

}  // namespace

void TOutputDirectory::Commit() {
    if (committed_) throw outputnames::Failure(kWyxWriteFailed, path_ + ": put in place twice");
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
            throw outputnames::Failure(kWyxAccessDenied, path_ + ": is not a directory that norbix can replace");
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
            const std::string aside = path_ + "." + outputnames::UniqueSuffix() + ".old";
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
        if (attempt == outputnames::kCreateAttempts || (existing == wyxos::kEntryMissing &&
                                           wyxos::KindOf(path_) == wyxos::kEntryMissing))
            throw outputnames::Failure(status, path_ + ": " + reason);
        registration_->Register(temporary_, true);
    }
    committed_ = true;
    if (!old.empty() && !retireEarlierRender(old, path_)) keepBeside(old, path_);
}
