#include "wyxcore/transcript_file.h"

#include "output_os.h"
#include "temporary_names.h"
#include "temporary_paths.h"
#include "wyxcore/status.h"

TTranscriptFile::TTranscriptFile()
    : file_(wyxos::kNoFile), registration_(std::make_unique<temporarypaths::TRegistration>()) {}

TTranscriptFile::~TTranscriptFile() { Close(); }

bool TTranscriptFile::Open(const std::string& path) {
    Close();
    std::string temporary;
    intptr_t file;
    try {
        file = outputnames::CreateTemporary(path, &temporary, registration_.get());
    } catch (const TWYXException&) {
        return false;
    }
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
