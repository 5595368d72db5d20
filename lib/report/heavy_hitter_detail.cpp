#include "heavy_hitter_detail.h"

#include <vector>

#include "collection_status.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

const char kClockDifference[] = "The difference between the System clock and SP clock is greater than 24 hours.";
// The status lines earlier versions' collector wrote, in this order, right before that heavy hitter.
const char* const kClockLines[] = {"Normalizing ULK Event logs by ", "System clock is "};

bool startsWith(const std::string& text, const char* head) { return text.compare(0, std::string(head).size(), head) == 0; }

const TCIMDateTime* dateTime(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->FindDateTime() : nullptr;
}

std::string offsetText(const TCIMDateTime& point) { return std::to_string(calendar::OffsetMinutes(point)); }

// The clocks of processors whose difference made the collector write that heavy
// hitter, in the order it wrote them; false when the collection has no clocks
// (an earlier version's).
bool clocksOverADay(const TContainer& container, std::vector<const TCIMInstance*>* clocks) {
    const TCIMClass* cimClass = container.FindClass("VARNSG_ServiceProcessorClock");
    if (!cimClass || cimClass->GetInstanceCount() == 0) return false;
    TCIMDateTime oneDay;
    oneDay.Set(1, 0, 0, 0, 0);
    for (const TCIMInstance* clock : cimClass->EnumerateInstances(true)) {
        const TCIMDateTime* difference = dateTime(*clock, "Difference");
        if (difference && difference->IsInterval() && oneDay < *difference) clocks->push_back(clock);
    }
    return true;
}

// The n-th heavy hitter of the clock difference among the collection's.
size_t clockHeavyHitterIndex(const TContainer& container, const TCIMInstance& record) {
    size_t index = 0;
    const TCIMClass* cimClass = container.FindClass("VARNSG_HeavyHittersLogRecord");
    if (!cimClass) return 0;
    for (const TCIMInstance* other : cimClass->EnumerateInstances(true)) {
        if (other == &record) break;
        if (PropertyText(*other, "Message") == kClockDifference) ++index;
    }
    return index;
}

std::string legacyDetail(const TCIMInstance& record, const CollectionStatus& status) {
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

}  // namespace

std::string HeavyHitterDetail(const TContainer& container, const TCIMInstance& record, const CollectionStatus& status) {
    if (PropertyText(record, "Message") != kClockDifference) return std::string();
    std::vector<const TCIMInstance*> clocks;
    if (!clocksOverADay(container, &clocks)) return legacyDetail(record, status);
    const size_t index = clockHeavyHitterIndex(container, record);
    if (index >= clocks.size()) return std::string();
    const TCIMInstance& clock = *clocks[index];
    const TCIMDateTime* system = dateTime(clock, "SystemClock");
    const TCIMDateTime* processor = dateTime(clock, "ServiceProcessorClock");
    const TCIMDateTime* difference = dateTime(clock, "Difference");
    if (!system || !processor || !difference) return std::string();
    return "Normalizing ULK Event logs by " + difference->ToUIString() + ". System clock is " + system->ToUIString() +
           " (UTC offset " + offsetText(*system) + "). SP clock is " + processor->ToUIString() + " (UTC offset " +
           offsetText(*processor) + ").";
}
