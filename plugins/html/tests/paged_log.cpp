#include "paged_log.h"

#include <cstdio>
#include <string>

#include "support/sample_container.h"

TCIMClass* AddReversedLog(TContainer& container, size_t count) {
    DeclareReportClasses(container);
    for (size_t i = 0; i < count; ++i) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "202612%02zu%02zu%02zu00.000000+000", 28 - i / 1440 % 28,
                      23 - i / 60 % 24, 59 - i % 60);
        AddTestInstance(container, "VARNSG_ULKLog",
                        {{"RecordID", std::to_string(i + 1)}, {"Severity", "2"}, {"MessageTimestamp", stamp},
                         {"Message", "entry " + std::to_string(i + 1)}});
    }
    return container.FindClass("VARNSG_ULKLog");
}
