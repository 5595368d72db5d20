#ifndef QUARNEL_RECORD_HEADER_H
#define QUARNEL_RECORD_HEADER_H

// The properties every log record quarnel adds begins with. Each log has always
// logged its own words when a property could not be added, so the messages
// come with the values.
struct RecordHeader {
    const char* className;              // also its CreationClassName
    const char* logCreationClassName;
    const char* logName;
    const char* recordId;               // null: the caller adds RecordID later
    struct Failures {
        const char* addClass;
        const char* creationClassName;
        const char* logCreationClassName;
        const char* logName;
        const char* recordId;
    } failures;
};

// Starts a new instance of header.className with the header's properties, in
// the order above. kQuarnelOK, or kQuarnelFailed with the step's message logged.
int addRecordHeader(void* plugin, void* container, const RecordHeader& header);

#endif
