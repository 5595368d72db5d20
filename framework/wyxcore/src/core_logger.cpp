#include "core_logger.h"

#include <cstdlib>

#include "query_deadline.h"
#include "wyxcore/os_specific.h"

namespace {

int levelFromEnvironment() {
    const char* text = std::getenv("WYX_LOG_LEVEL");
    if (text && text[0] >= '0' && text[0] <= '4' && text[1] == '\0') return text[0] - '0';
    return kWyxLogStatus;
}

}  // namespace

CoreLogger::CoreLogger() : level_(levelFromEnvironment()) {}

void CoreLogger::Write(IPlugin* source, int type, const std::string& text) {
    if (type != kWyxLogHeavyHitter && type > level_) return;
    if (!query_deadline::CallerMayWrite()) return;
    TLogEntry entry;
    entry.source = source;
    entry.type = type;
    entry.message = text;
    entry.timestamp = TOSSpecific::GetLocalTime();
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back(entry);
}

std::vector<TLogEntry> CoreLogger::GetEntries() {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

void CoreLogger::ClearEntries() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

int CoreLogger::GetLevel() { return level_; }
