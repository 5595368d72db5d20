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
// /proc/stat: the boot time (btime) in seconds since 1970; false when missing,
// malformed or beyond 9999.
bool ParseBootSeconds(const std::string& text, int64_t* seconds);
// The value of a "key: value" line, trimmed; empty when absent.
std::string Field(const std::string& line, const std::string& key);

}  // namespace linuxtext

#endif
