#ifndef WYXCORE_OUTPUT_DIRECTORY_H
#define WYXCORE_OUTPUT_DIRECTORY_H

// Written like every output (see wyxcore/output_file.h), a directory at a time.

#include <memory>
#include <string>
#include <vector>

#include "wyxcore/export.h"

namespace temporarypaths {
class TRegistration;
}

// A directory of files written as a whole: Add writes each file into a
// private temporary directory at once; Commit puts the directory in place.
// A directory already at the final name is replaced: the files that norbix
// listed there in its manifest (kOutputManifestName) go, every other entry
// (the user's) is moved into the new directory; one whose name the new
// directory also holds stays in the old directory, kept beside it under the
// name final + ".kept-" + a unique suffix, so that nothing of the user's is
// lost. A link or a file at the final name is refused (kWyxAccessDenied).
// Without Commit the temporary directory is removed when the object goes.
extern WYX_API const char* const kOutputManifestName;
class WYX_API TOutputDirectory {
public:
    explicit TOutputDirectory(const std::string& path);
    ~TOutputDirectory();
    TOutputDirectory(const TOutputDirectory&) = delete;
    TOutputDirectory& operator=(const TOutputDirectory&) = delete;

    // name is a plain file name, added once: the bytes SafeNamePart keeps, up
    // to 100 of them, not starting or ending with '.'; else kWyxInvalidArgument.
    void Add(const std::string& name, const std::string& content, bool textMode = false);
    void Commit();

private:
    std::string path_;
    std::string temporary_;
    std::vector<std::string> names_;
    bool committed_;
    std::unique_ptr<temporarypaths::TRegistration> registration_;
};

// For a directory that the program chose itself (the default output
// directory): empty when path is a real directory of the running user, else
// why it is not ("is a symbolic link", "belongs to another user", ...).
WYX_API std::string PrivateDirectoryProblem(const std::string& path);

#endif
