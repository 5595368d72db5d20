#include "linux_text.h"

#include <cstdlib>
#include <map>
#include <sstream>

#include "host_files.h"
#include "wyxcore/calendar.h"

namespace linuxtext {

namespace {

unsigned smallNumber(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789.") != std::string::npos) return 0;
    return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

std::string Field(const std::string& line, const std::string& key) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos || hostfs::Trimmed(line.substr(0, colon)) != key) return std::string();
    return hostfs::Trimmed(line.substr(colon + 1));
}

std::vector<ProcessorFacts> ParseCpuInfo(const std::string& text) {
    std::vector<ProcessorFacts> packages;
    std::map<std::string, size_t> byPackage;
    std::istringstream lines(text);
    std::string line;
    // One block per logical processor; blocks end at a blank line.
    ProcessorFacts block;
    std::string package;
    bool inBlock = false;
    auto finish = [&]() {
        if (!inBlock) return;
        auto found = byPackage.find(package);
        if (found == byPackage.end()) {
            block.deviceId = "CPU" + std::to_string(packages.size());
            block.threads = 1;
            byPackage[package] = packages.size();
            packages.push_back(block);
        } else {
            ++packages[found->second].threads;
        }
        block = ProcessorFacts();
        package.clear();
        inBlock = false;
    };
    while (std::getline(lines, line)) {
        if (hostfs::Trimmed(line).empty()) {
            finish();
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = hostfs::Trimmed(line.substr(0, colon));
        const std::string value = hostfs::Trimmed(line.substr(colon + 1));
        if (key == "processor") inBlock = true;
        else if (key == "model name") block.model = value;
        else if (key == "vendor_id") block.manufacturer = value;
        else if (key == "physical id") package = value;
        else if (key == "cpu cores") block.cores = smallNumber(value);
        else if (key == "cpu MHz") block.clockMHz = smallNumber(value);
    }
    finish();
    return packages;
}

bool ParseBootSeconds(const std::string& text, int64_t* seconds) {
    const std::string key = "btime ";
    size_t at = text.compare(0, key.size(), key) == 0 ? 0 : text.find("\n" + key);
    if (at == std::string::npos) return false;
    at = text.find(key, at) + key.size();
    const std::string value = hostfs::Trimmed(text.substr(at, text.find('\n', at) - at));
    // Twelve digits hold every second up to 9999; more would not fit the check.
    if (value.empty() || value.size() > 12 || value.find_first_not_of("0123456789") != std::string::npos) return false;
    const long long parsed = std::strtoll(value.c_str(), nullptr, 10);
    if (parsed > calendar::kLastEpochSecond) return false;
    *seconds = parsed;
    return true;
}

bool ParseMemTotal(const std::string& text, uint64_t* bytes) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::string value = Field(line, "MemTotal");
        if (value.empty()) continue;
        if (value.size() > 3 && value.compare(value.size() - 3, 3, " kB") == 0) value.resize(value.size() - 3);
        if (value.empty() || value.size() > 15 || value.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *bytes = std::strtoull(value.c_str(), nullptr, 10) * 1024;
        return true;
    }
    return false;
}

}  // namespace linuxtext
