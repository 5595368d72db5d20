#include "report_model.h"

#include <algorithm>
#include <cstdio>

#include "heavy_hitter_detail.h"
#include "reading_order.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

const char* const kLeadingClasses[3] = {"VARNSG_HeavyHittersLogRecord", "VARNSG_AnalysisFinding",
                                        "VARNSG_VersionCheck"};

namespace {

std::vector<const TCIMClass*> sectionOrder(const TContainer& container) {
    std::vector<const TCIMClass*> order;
    for (const char* name : kLeadingClasses) {
        const TCIMClass* cimClass = container.FindClass(name);
        if (cimClass && cimClass->GetInstanceCount()) order.push_back(cimClass);
    }
    const size_t leading = order.size();
    for (const TCIMClass* cimClass : container.GetClasses())
        if (cimClass->GetInstanceCount() && std::find(order.begin(), order.end(), cimClass) == order.end())
            order.push_back(cimClass);
    std::sort(order.begin() + leading, order.end(),
              [](const TCIMClass* a, const TCIMClass* b) { return a->GetName() < b->GetName(); });
    return order;
}

}  // namespace

ReportModel BuildReportModel(const TContainer& container, const TCIMDateTime& renderedAt) {
    ReportModel model;
    model.identity = BuildIdentity(container, renderedAt);
    model.status = BuildCollectionStatus(container);
    model.findings = GroupFindings(container);
    for (const FindingGroup& group : model.findings) model.findingCount += group.count;
    model.severities = SeveritiesOfFindings(container);
    model.timeline = BuildTimeline(container, model.severities);
    // Times are shown on the clock of the machine as it was collected.
    model.displayOffset =
        calendar::OffsetMinutes(model.identity.hasCollectionTime ? model.identity.collectedAt : renderedAt);
    if (const TCIMClass* os = container.FindClass("VARNSG_OperatingSystem")) {
        for (const TCIMInstance* instance : os->EnumerateInstances(true)) {
            const TCIMValue* boot = instance->GetPropertyValue("LastBootUpTime");
            if (const TCIMDateTime* at = calendar::PointOf(boot)) {
                model.hasBoot = true;
                model.lastBoot = *at;
                break;
            }
        }
    }
    model.parts = BuildParts(container, model.severities,
                             model.identity.hasCollectionTime ? model.identity.collectedAt : renderedAt);
    for (const TCIMClass* cimClass : sectionOrder(container)) model.classes.push_back(BuildClassTable(*cimClass));
    for (const TCIMClass* cimClass : container.GetClasses())
        if (!cimClass->GetInstanceCount()) model.emptyClasses.push_back(cimClass);
    std::sort(model.emptyClasses.begin(), model.emptyClasses.end(),
              [](const TCIMClass* a, const TCIMClass* b) { return a->GetName() < b->GetName(); });
    if (const TCIMClass* heavy = container.FindClass("VARNSG_HeavyHittersLogRecord"))
        for (const TCIMInstance* record : heavy->EnumerateInstances(true)) {
            std::string detail = HeavyHitterDetail(container, *record, model.status);
            if (!detail.empty()) model.heavyHitterDetails.emplace(record, std::move(detail));
        }
    return model;
}

std::string HeavyHitterDetailOf(const ReportModel& model, const TCIMInstance& record) {
    const auto found = model.heavyHitterDetails.find(&record);
    return found == model.heavyHitterDetails.end() ? std::string() : found->second;
}

std::string ShownTime(const ReportModel& model, const TCIMDateTime& at) {
    if (at.IsInterval() || at.GetYear() == 0) return at.ToUIString();
    // To the second: the order of records closer than that is the order of the rows. An
    // instant the display clock cannot write (after 9999 there) keeps its own clock.
    TCIMDateTime shown;
    if (!calendar::PointFromLocalSeconds(calendar::UtcSeconds(at) + model.displayOffset * 60LL, 0,
                                         model.displayOffset, &shown))
        return at.ToUIString();
    return shown.ToUIString();
}

std::string ZoneName(int offsetMinutes) {
    char buf[16];
    const int magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    std::snprintf(buf, sizeof buf, "UTC%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return buf;
}

const ClassTable* FindTable(const ReportModel& model, const std::string& className) {
    for (const ClassTable& table : model.classes)
        if (table.cimClass->GetName() == className) return &table;
    return nullptr;
}
