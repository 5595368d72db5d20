#ifndef NORBIX_PART_NAMES_H
#define NORBIX_PART_NAMES_H

#include <string>
#include <vector>

// The kinds of part a report gives a verdict on.
enum class PartKind {
    kDimm, kProcessor, kDisk, kPowerSupply, kFan, kPcieDevice, kController, kServiceProcessor,
    kManagementController, kOther
};

// "DIMM", "Processor", "Disk", "Power supply", "Fan", "PCIe device", "Controller",
// "Service processor", "Management controller", "Other".
const char* PartKindName(PartKind kind);

// A part as one source names it. Two names are the same part when kind and key
// are equal; the key is the label without case, separators, leading zeros of
// numbers or a leading word of its kind ("DIMM_A04" and "dimm a4" are both "A4";
// "DIMM 4" is "4", another part: when unsure, two parts rather than one wrong).
struct PartName {
    PartKind kind = PartKind::kOther;
    std::string key;
    std::string label;    // as the source wrote it
    std::string scheme;   // whose numbering: processors and fans numbered by the OS ("os") are not
                          // those the service processor numbers; empty for every other kind
};

// The name of a part whose kind its source states (an inventory row, a counter,
// a record's Kind); false for an empty label. A PCI address is normalised to
// its full form; a disk's device path to its name ("/dev/sda" is "sda"). The
// scheme says whose numbering the label follows ("os" or empty).
bool NamePart(PartKind kind, const std::string& label, const std::string& scheme, PartName* name);

// The parts a free text names: "Fan 3", "DIMM_A4", "Power supply 1", "PSU2",
// "CPU 2", "Fans 1, 2", "sdb", "0000:3b:00.0", "RAID controller", ... in the
// order they appear, each once; at most kMaxNamedParts.
std::vector<PartName> PartsNamedIn(const std::string& text, const std::string& scheme = std::string());
const size_t kMaxNamedParts = 16;

#endif
