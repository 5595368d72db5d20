#ifndef NORBIX_REPORT_MODEL_H
#define NORBIX_REPORT_MODEL_H

#include <map>
#include <string>
#include <vector>

#include "class_table.h"
#include "collection_status.h"
#include "finding_groups.h"
#include "parts.h"
#include "report_identity.h"
#include "timeline.h"

class TContainer;

// Everything a report says, decided once from the container; the HTML and
// text writers only format it.
struct ReportModel {
    ReportIdentity identity;
    CollectionStatus status;
    std::vector<FindingGroup> findings;
    size_t findingCount = 0;
    FindingSeverities severities;
    std::vector<TimelineEntry> timeline;
    PartsReport parts;
    bool hasBoot = false;
    TCIMDateTime lastBoot;
    int displayOffset = 0;                  // minutes east of UTC that times are shown in
    std::vector<ClassTable> classes;        // sections: leading classes first, then by name
    std::vector<const TCIMClass*> emptyClasses;   // declared without an instance, by name: counted as 0
    // What a heavy hitter's own text leaves out (see HeavyHitterDetail), where anything.
    std::map<const TCIMInstance*, std::string> heavyHitterDetails;
};

// The model's detail of a heavy-hitter record; empty when it has none.
std::string HeavyHitterDetailOf(const ReportModel& model, const TCIMInstance& record);

ReportModel BuildReportModel(const TContainer& container, const TCIMDateTime& renderedAt);

// The classes a reader looks at first, in this order.
extern const char* const kLeadingClasses[3];

// A point in time as the report shows it: at the report's display offset.
std::string ShownTime(const ReportModel& model, const TCIMDateTime& at);

// "UTC+01:00" for an offset of 60 minutes.
std::string ZoneName(int offsetMinutes);

const ClassTable* FindTable(const ReportModel& model, const std::string& className);

#endif
