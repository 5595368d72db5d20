#ifndef NORBIX_CONSOLE_PROGRESS_H
#define NORBIX_CONSOLE_PROGRESS_H

#include <string>

#include "wyxcore/progress.h"

// The progress sink of a console run: one live line below the last message,
// erased before the next message so the console reads as without it. It is
// drawn only while the cursor stands at the start of a line, so it never
// overwrites a message in progress.
class ConsoleProgress final : public IProgressSink {
public:
    ConsoleProgress() = default;
    ConsoleProgress(const ConsoleProgress&) = delete;
    ConsoleProgress& operator=(const ConsoleProgress&) = delete;

    void Show(const std::string& line) override;
    // Called before a console message goes out.
    void beforeMessage();
    // Called after it: whether it left the cursor at the start of a line.
    void afterMessage(const std::string& message);

private:
    bool drawn_ = false;
    bool atLineStart_ = true;
};

#endif
