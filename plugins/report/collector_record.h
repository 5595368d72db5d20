#ifndef NORBIX_COLLECTOR_RECORD_H
#define NORBIX_COLLECTOR_RECORD_H

#include <cstddef>
#include <string>

// What norbix records in the core log about each collector step, so that a
// report can tell which collectors ran, which were disabled or not loaded, and
// what each added. The record is a Status entry of the program itself.
enum class CollectorOutcome { kRan, kDisabled, kNotLoaded };

struct CollectorRecord {
    std::string plugin;      // the plug-in's name ("quarnel")
    std::string selection;   // its selection name (file name without extension)
    std::string step;        // "pass 1", "pass 2", "the computer-system run"
    CollectorOutcome outcome = CollectorOutcome::kRan;
    size_t instancesAdded = 0;
};

// "Collector quarnel (quarnel), pass 1: ran, 12 instances added."
// "Collector quarnel (quarnel), pass 2: disabled."
// "Collector quarnel (quarnel), pass 1: not loaded."
std::string FormatCollectorRecord(const CollectorRecord& record);

// The record a message holds; false for any other message.
bool ParseCollectorRecord(const std::string& message, CollectorRecord* record);

#endif
