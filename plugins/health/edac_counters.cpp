// Memory error counters from the kernel's EDAC class.
#include "edac_counters.h"

#include "counter_text.h"
#include "host_files.h"

namespace health {

namespace {

const char kRoot[] = "/sys/devices/system/edac/mc";
const char kSource[] = "edac sysfs";
const uint64_t kSizeLimitMB = 1ull << 32;   // 4 PB: beyond any DIMM

bool startsWith(const std::string& text, const std::string& prefix, bool numbered = true) {
    return text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0 &&
           (!numbered || text.find_first_not_of("0123456789", prefix.size()) == std::string::npos);
}

bool roomFor(HealthFacts& facts) {
    if (facts.dimms.size() < kDimmLimit) return true;
    facts.notes.push_back("Only the first " + std::to_string(kDimmLimit) + " memory error counters collected");
    return false;
}

// A DIMM without a label is named by its place, so a finding can still name it.
void nameOrNote(MemoryCounterFacts& dimm, const std::string& where, const std::string& place, HealthFacts& facts) {
    if (!dimm.label.empty()) return;
    facts.notes.push_back(where + ": no DIMM label; named by its place");
    dimm.label = dimm.location.empty() ? place : dimm.location;
}

// The dimm* (or rank*) folders of newer kernels.
void readDimms(const std::string& mc, const std::string& controller, const std::vector<std::string>& entries,
               HealthFacts& facts) {
    for (const std::string& entry : entries) {
        if (!startsWith(entry, "dimm") && !startsWith(entry, "rank")) continue;
        if (!roomFor(facts)) return;
        const std::string dir = mc + entry + "/";
        MemoryCounterFacts dimm;
        dimm.source = kSource;
        dimm.controller = controller;
        dimm.label = hostfs::ReadValue(dir + "dimm_label");
        dimm.location = hostfs::ReadValue(dir + "dimm_location");
        dimm.sizeMB = ReadCount(dir + "size", kSizeLimitMB, facts.notes);
        dimm.memoryType = hostfs::ReadValue(dir + "dimm_mem_type");
        dimm.corrected = ReadCount(dir + "dimm_ce_count", kCounterLimit, facts.notes);
        dimm.uncorrected = ReadCount(dir + "dimm_ue_count", kCounterLimit, facts.notes);
        nameOrNote(dimm, dir, controller + " " + entry, facts);
        facts.dimms.push_back(dimm);
    }
}

// The csrow*/ch*_ layout: one counter per channel of a row. The row's
// uncorrected count belongs to no one channel; it goes with the channel when
// there is one, else on a row of its own when it counted any.
void readChipSelectRows(const std::string& mc, const std::string& controller, const std::vector<std::string>& entries,
                        HealthFacts& facts) {
    for (const std::string& entry : entries) {
        if (!startsWith(entry, "csrow")) continue;
        const std::string dir = mc + entry + "/";
        const Count rowUncorrected = ReadCount(dir + "ue_count", kCounterLimit, facts.notes);
        const Count rowSize = ReadCount(dir + "size_mb", kSizeLimitMB, facts.notes);
        const std::string type = hostfs::ReadValue(dir + "mem_type");
        std::vector<std::string> channels;
        for (const std::string& file : hostfs::List(dir, facts.notes)) {
            const std::string suffix = "_ce_count";
            if (startsWith(file, "ch", false) && file.size() > suffix.size() &&
                file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0) {
                const std::string channel = file.substr(2, file.size() - 2 - suffix.size());
                if (!channel.empty() && channel.find_first_not_of("0123456789") == std::string::npos)
                    channels.push_back(channel);
            }
        }
        for (const std::string& channel : channels) {
            if (!roomFor(facts)) return;
            MemoryCounterFacts dimm;
            dimm.source = kSource;
            dimm.controller = controller;
            dimm.label = hostfs::ReadValue(dir + "ch" + channel + "_dimm_label");
            dimm.location = entry + " channel " + channel;
            if (channels.size() == 1) dimm.sizeMB = rowSize;
            dimm.memoryType = type;
            dimm.corrected = ReadCount(dir + "ch" + channel + "_ce_count", kCounterLimit, facts.notes);
            if (channels.size() == 1) dimm.uncorrected = rowUncorrected;
            nameOrNote(dimm, dir + "ch" + channel + "_dimm_label", dimm.location, facts);
            facts.dimms.push_back(dimm);
        }
        if (channels.size() != 1 && rowUncorrected.known && rowUncorrected.value > 0 && roomFor(facts)) {
            MemoryCounterFacts row;
            row.source = kSource;
            row.controller = controller;
            row.label = entry;
            row.location = entry + " (all channels)";
            row.sizeMB = rowSize;
            row.memoryType = type;
            row.uncorrected = rowUncorrected;
            facts.dimms.push_back(row);
        }
    }
}

}  // namespace

void ReadEdac(HealthFacts& facts) {
    std::vector<std::string> controllers;
    for (const std::string& entry : hostfs::List(kRoot, facts.notes))
        if (startsWith(entry, "mc")) controllers.push_back(entry);
    if (controllers.empty()) {
        facts.notes.push_back("No EDAC memory controllers: memory error counters not collected");
        return;
    }
    for (const std::string& controller : controllers) {
        const std::string mc = std::string(kRoot) + "/" + controller + "/";
        MemoryControllerFacts totals;
        totals.source = kSource;
        totals.controller = controller;
        totals.name = hostfs::ReadValue(mc + "mc_name");
        totals.corrected = ReadCount(mc + "ce_count", kCounterLimit, facts.notes);
        totals.uncorrected = ReadCount(mc + "ue_count", kCounterLimit, facts.notes);
        totals.correctedNoInfo = ReadCount(mc + "ce_noinfo_count", kCounterLimit, facts.notes);
        totals.uncorrectedNoInfo = ReadCount(mc + "ue_noinfo_count", kCounterLimit, facts.notes);
        totals.secondsSinceReset = ReadCount(mc + "seconds_since_reset", kCounterLimit, facts.notes);
        facts.controllers.push_back(totals);
        const std::vector<std::string> entries = hostfs::List(mc, facts.notes);
        bool dimmLayout = false;
        for (const std::string& entry : entries) dimmLayout |= startsWith(entry, "dimm") || startsWith(entry, "rank");
        if (dimmLayout)
            readDimms(mc, controller, entries, facts);
        else
            readChipSelectRows(mc, controller, entries, facts);
    }
}

}  // namespace health
