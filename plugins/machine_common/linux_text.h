#ifndef MACHINE_LINUX_TEXT_H
#define MACHINE_LINUX_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

#include "hardware_facts.h"

// Parsers of the Linux kernel's text files; they take the text read (bounded)
// and never fail: what does not parse is left out.
namespace linuxtext {

// /proc/cpuinfo: one processor per physical package, in order of appearance.
std::vector<ProcessorFacts> ParseCpuInfo(const std::string& text);
// /proc/meminfo: MemTotal in bytes; false when missing or malformed.
bool ParseMemTotal(const std::string& text, uint64_t* bytes);
// The value of a "key: value" line, trimmed; empty when absent.
std::string Field(const std::string& line, const std::string& key);

}  // namespace linuxtext

#endif
