#ifndef NORBIX_COLLECTOR_RECORD_H
#define NORBIX_COLLECTOR_RECORD_H

#include <cstddef>
#include <string>

// What earlier versions recorded in the core log about each collector step (a
// Status entry of the program itself); files they wrote are read with it. The
// program now keeps these facts as data (wyxcore/collector_run.h).
enum class CollectorOutcome { kRan, kDisabled, kNotLoaded };

struct CollectorRecord {
    std::string plugin;      // the plug-in's name ("quarnel")
    std::string selection;   // its selection name (file name without extension)
    std::string step;        // "pass 1", "pass 2", "the computer-system run"
    CollectorOutcome outcome = CollectorOutcome::kRan;
    size_t instancesAdded = 0;
};

// The record a message holds ("Collector quarnel (quarnel), pass 1: ran, 12
// instances added.", "...: disabled.", "...: not loaded."); false for any other
// message.
bool ParseCollectorRecord(const std::string& message, CollectorRecord* record);

#endif
