#ifndef WYXCORE_TRANSCRIPT_FILE_H
#define WYXCORE_TRANSCRIPT_FILE_H

#include <cstdint>
#include <memory>
#include <string>

#include "wyxcore/export.h"

namespace temporarypaths {
class TRegistration;
}

// A transcript kept on disk while it grows (the console log): Open puts a new,
// empty, private file in place at once, replacing a file of that name and
// never writing through a link planted there; each Write goes to the OS at
// once, so a killed process leaves every whole message. An interrupted run
// removes it while it is open.
class WYX_API TTranscriptFile {
public:
    TTranscriptFile();
    ~TTranscriptFile();
    TTranscriptFile(const TTranscriptFile&) = delete;
    TTranscriptFile& operator=(const TTranscriptFile&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const;
    // False when the bytes could not all be written.
    bool Write(const std::string& text);
    void Close();

private:
    intptr_t file_;
    std::unique_ptr<temporarypaths::TRegistration> registration_;
};

#endif
