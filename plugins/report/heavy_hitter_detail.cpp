#include "heavy_hitter_detail.h"

#include "collection_status.h"
#include "reading_order.h"
#include "wyxcore/container.h"

namespace {

const char kClockDifference[] = "The difference between the System clock and SP clock is greater than 24 hours.";
// The status lines the collector writes, in this order, right before that heavy hitter.
const char* const kClockLines[] = {"Normalizing ULK Event logs by ", "System clock is "};

bool startsWith(const std::string& text, const char* head) { return text.compare(0, std::string(head).size(), head) == 0; }

}  // namespace

std::string HeavyHitterDetail(const TCIMInstance& record, const CollectionStatus& status) {
    if (PropertyText(record, "Message") != kClockDifference) return std::string();
    const std::string id = PropertyText(record, "RecordID");
    if (id.empty() || id.size() > 9 || id.find_first_not_of("0123456789") != std::string::npos) return std::string();
    const long number = std::stol(id);
    std::string detail;
    // One counter numbers both logs: the lines are the records just before the heavy hitter's number.
    for (long back = 2; back >= 1; --back) {
        const std::string wanted = std::to_string(number - back);
        for (const RunLogEntry& entry : status.runLog)
            if (entry.recordId == wanted && startsWith(entry.message, kClockLines[2 - back]))
                detail += (detail.empty() ? "" : " ") + entry.message;
    }
    return detail;
}
