#ifndef WYXCORE_CORE_LOGGER_H
#define WYXCORE_CORE_LOGGER_H

#include <mutex>
#include <vector>

#include "wyxcore/logger.h"

class WYX_API CoreLogger : public ILogger {
public:
    CoreLogger();
    void Write(IPlugin* source, int type, const std::string& text) override;
    std::vector<TLogEntry> GetEntries() override;
    void ClearEntries() override;
    int GetLevel() override;

private:
    std::mutex mutex_;
    std::vector<TLogEntry> entries_;
    int level_;
};

#endif
