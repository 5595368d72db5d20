#ifndef QUARNEL_ENTRY_FORMAT_H
#define QUARNEL_ENTRY_FORMAT_H

#include <string>

class ClockNormaliser;

// What decoding one ULK entry needs besides its bytes.
struct EntryFormatContext {
    void* plugin;
    void* container;
    std::string formatPath;    // quarnelentry.txt beside the plug-in
    int processor;             // 0-based
    int processorCount;
    ClockNormaliser* clock;
};

// Decodes one entry (length bytes of reply, a buffer of kDotReplySize bytes)
// field by field as the entry-format file describes, adding properties to the
// current instance. False when the read must end with status 3.
bool decodeUlkEntry(const EntryFormatContext& context, unsigned char* reply, int length);

#endif
