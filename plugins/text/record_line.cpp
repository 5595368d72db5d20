#include "record_line.h"

#include "text_cell.h"

namespace {

// "2026-12-08 05:31:07 (UTC+01:00)"
const size_t kTimeWidth = 31;

}  // namespace

std::string RecordLine(const std::string& time, const std::string& source, const std::string& severity,
                       const std::string& message, const std::string& more) {
    std::string shown = PlainText(time.empty() ? std::string("-") : time);
    const size_t width = TextWidth(shown);
    if (width < kTimeWidth) shown += std::string(kTimeWidth - width, ' ');
    std::string line = shown + " | " + PlainText(source) + " | " + PlainText(severity) + " | " + PlainText(message);
    if (!more.empty()) line += " | " + PlainText(more);
    return line + "\n";
}
