#include "wyxcore/output_file.h"

#include "output_os.h"
#include "temporary_names.h"
#include "temporary_paths.h"
#include "wyxcore/status.h"

void WriteOutputFile(const std::string& path, const std::string& content, bool textMode) {
    TOutputFile file(path, textMode);
    file.Write(content);
    file.Commit();
}

TOutputFile::TOutputFile(const std::string& path, bool textMode)
    : path_(path), file_(wyxos::kNoFile), textMode_(textMode),
      registration_(std::make_unique<temporarypaths::TRegistration>()) {
    file_ = outputnames::CreateTemporary(path, &temporary_, registration_.get());
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
    throw outputnames::Failure(status, path_ + ": " + reason);
}

void TOutputFile::Write(const char* data, size_t size) {
    temporarypaths::WaitIfInterrupted();
    if (file_ == wyxos::kNoFile) throw outputnames::Failure(kWyxWriteFailed, path_ + ": written after it was closed");
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
    if (file_ == wyxos::kNoFile) throw outputnames::Failure(kWyxWriteFailed, path_ + ": committed twice");
    temporarypaths::WaitIfInterrupted();
    std::string reason;
    const intptr_t file = file_;
    file_ = wyxos::kNoFile;
    int status = wyxos::SyncAndClose(file, &reason);
    // Still registered through the rename: an interruption that removes it
    // first leaves the final name as it was, one that comes after finds the
    // name gone; either way nothing is left under a temporary name.
    if (status == kWyxOK) status = wyxos::MoveOver(temporary_, path_, &reason);
    registration_->Release();
    if (status == kWyxOK) return;
    wyxos::RemoveFile(temporary_);
    throw outputnames::Failure(status, path_ + ": " + reason);
}
