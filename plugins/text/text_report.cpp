#include "text_report.h"

#include <algorithm>

#include "record_line.h"
#include "report_model.h"
#include "text_cell.h"
#include "text_table.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

const size_t kMaxColumn = 40;
const size_t kMaxValue = 72;
const char kIndent[] = "  ";

std::string underline(const std::string& title, char mark) {
    return title + "\n" + std::string(TextWidth(title), mark) + "\n";
}

std::string timeOf(const ReportModel& model, const TCIMValue* value) {
    const TCIMDateTime* at = calendar::PointOf(value);
    return at ? ShownTime(model, *at) : std::string();
}

std::string statusSection(const ReportModel& model) {
    const CollectionStatus& status = model.status;
    std::string out;
    if (status.complete) {
        out = "Collection complete: no collector logged an error.\n";
    } else {
        const size_t errors = status.errors.size();
        out = "COLLECTION INCOMPLETE: " + std::to_string(errors) + (errors == 1 ? " error was" : " errors were") +
              " logged during the collection.\n";
        for (size_t i : status.errors) {
            const RunLogEntry& entry = status.runLog[i];
            out += RecordLine(entry.hasTime ? ShownTime(model, entry.at) : std::string(), "Run log: " + entry.source,
                              entry.typeName, entry.message);
        }
        for (const CollectorStatus& c : status.collectors)
            if (c.state == CollectorState::kNotLoaded) out += PlainText(c.plugin) + " was not loaded.\n";
    }
    return out + PlainText(status.serviceProcessor) + "\n";
}

std::string machineSection(const ReportModel& model) {
    std::string out = underline("Machine", '=');
    if (!model.identity.hasSystem) out += kIndent + std::string("No computer-system data.\n");
    std::vector<std::pair<std::string, std::string> > pairs;
    for (const IdentityFact& fact : model.identity.facts)
        pairs.push_back({fact.label, fact.value.empty() ? "(" + fact.missing + ")" : PlainText(fact.value)});
    return out + RenderTextPairs(pairs, kMaxValue, kIndent);
}

std::string collectorsSection(const ReportModel& model) {
    std::string out = underline("Collectors", '=');
    if (model.status.collectors.empty()) return out + kIndent + "The run log does not say which collectors ran.\n";
    std::vector<std::vector<std::string> > rows;
    for (const CollectorStatus& c : model.status.collectors)
        rows.push_back({PlainText(c.plugin), PlainText(c.selection), CollectorStateName(c.state),
                        std::to_string(c.instancesAdded), std::to_string(c.errors.size())});
    return out + RenderTextTable({"Collector", "Selection", "Status", "Instances added", "Errors"}, rows, kMaxColumn,
                                 kIndent);
}

std::string findingsSection(const ReportModel& model) {
    std::string out = underline("Findings (" + std::to_string(model.findingCount) + " in " +
                                    std::to_string(model.findings.size()) + " groups)",
                                '=');
    if (model.findings.empty()) return out + kIndent + "No findings.\n";
    for (const FindingGroup& group : model.findings) {
        std::string more = "count " + std::to_string(group.count);
        if (group.hasTime) more += "; first " + ShownTime(model, group.first);
        out += RecordLine(group.hasTime ? ShownTime(model, group.last) : std::string(), group.sourceClass,
                          group.severity, group.category + ": " + group.description + ": " + group.message, more);
    }
    return out;
}

std::string timelineSection(const ReportModel& model) {
    std::string out = underline("Timeline (" + std::to_string(model.timeline.size()) + " records, times " +
                                    ZoneName(model.displayOffset) + ")",
                                '=');
    for (const TimelineEntry& entry : model.timeline)
        out += RecordLine(ShownTime(model, entry.at), entry.source, entry.severity, entry.message,
                          entry.ownTime.empty() ? std::string() : "own clock " + entry.ownTime);
    return out;
}

std::string contentsSection(const ReportModel& model) {
    std::vector<std::vector<std::string> > rows;
    for (const ClassTable& table : model.classes)
        rows.push_back({PlainText(table.cimClass->GetName()), std::to_string(table.rows.size())});
    if (rows.empty()) return underline("Contents", '=') + kIndent + "No instances.\n";
    return underline("Contents", '=') + RenderTextTable({"Class", "Instances"}, rows, 64, kIndent);
}

// The fields of a row not said by its record line, as "name=value; ...".
std::string otherFields(const ClassTable& table, size_t row, const std::vector<std::string>& said) {
    std::string out;
    for (size_t column = 0; column < table.columns.size(); ++column) {
        const std::string& name = table.columns[column];
        const TCIMValue* value = table.values[row][column];
        if (!value || std::find(said.begin(), said.end(), name) != said.end()) continue;
        out += (out.empty() ? "" : "; ") + name + "=" + DisplayValue(*value);
    }
    return out;
}

std::string recordLines(const ReportModel& model, const ClassTable& table) {
    std::string out;
    const bool findings = table.cimClass->GetName() == "VARNSG_AnalysisFinding";
    TimelineEntry entry;
    for (size_t row = 0; row < table.rows.size(); ++row) {
        const TCIMInstance& instance = *table.rows[row];
        if (findings) {
            out += RecordLine(timeOf(model, instance.GetPropertyValue("SourceTimestamp")),
                              PropertyText(instance, "SourceClass") + " " + PropertyText(instance, "SourceKey"),
                              PropertyText(instance, "Severity"),
                              PropertyText(instance, "Category") + ": " + PropertyText(instance, "Description") +
                                  ": " + PropertyText(instance, "SourceMessage"),
                              otherFields(table, row, {"SourceTimestamp", "SourceClass", "SourceKey", "Severity",
                                                       "Category", "Description", "SourceMessage"}));
        } else if (DescribeRecord(instance, model.severities, &entry)) {
            std::string more = otherFields(table, row, {"MessageTimestamp", "Message", "Source", "Type"});
            const std::string detail = HeavyHitterDetailOf(model, instance);
            if (!detail.empty()) more += (more.empty() ? "" : "; ") + detail;
            out += RecordLine(timeOf(model, instance.GetPropertyValue("MessageTimestamp")), entry.source,
                              entry.severity, entry.message, more);
        } else {
            out += RecordLine(timeOf(model, instance.GetPropertyValue("MessageTimestamp")), table.cimClass->GetName(),
                              PropertyText(instance, "Severity"), PropertyText(instance, "Message"),
                              otherFields(table, row, {"MessageTimestamp", "Message", "Severity"}));
        }
    }
    return out;
}

std::string classSection(const ReportModel& model, const ClassTable& table) {
    const size_t count = table.rows.size();
    std::string out = underline(PlainText(table.cimClass->GetName()) + " (" + std::to_string(count) +
                                    (count == 1 ? " instance)" : " instances)"),
                                '=');
    auto text = [&model](const TCIMValue* value) {
        const TCIMDateTime* at = calendar::PointOf(value);
        return PlainText(!value ? std::string() : at ? ShownTime(model, *at) : DisplayValue(*value));
    };
    std::vector<std::pair<std::string, std::string> > same;
    for (const auto& field : table.same) same.push_back({PlainText(field.first), text(field.second)});
    if (count == 1) return out + RenderTextPairs(same, kMaxValue, kIndent);
    if (!same.empty()) out += kIndent + std::string("Same in every row:\n") + RenderTextPairs(same, kMaxValue, "    ") + "\n";
    if (table.columns.empty()) return out + kIndent + "All " + std::to_string(count) + " rows are identical.\n";
    if (table.timed || table.cimClass->GetName() == "VARNSG_AnalysisFinding") return out + recordLines(model, table);
    std::vector<std::string> headings;
    for (const std::string& column : table.columns) headings.push_back(PlainText(column));
    std::vector<std::vector<std::string> > rows;
    for (const auto& values : table.values) {
        std::vector<std::string> cells;
        for (const TCIMValue* value : values) cells.push_back(text(value));
        rows.push_back(cells);
    }
    return out + RenderTextTable(headings, rows, kMaxColumn, kIndent);
}

}  // namespace

std::string RenderTextReport(const TContainer& container, const TCIMDateTime& writtenAt) {
    const ReportModel model = BuildReportModel(container, writtenAt);
    const ReportIdentity& identity = model.identity;
    std::string out = "norbix diagnostic report\n";
    out += identity.hasCollectionTime ? "Collected " + ShownTime(model, identity.collectedAt)
                                      : std::string("Collection time not recorded");
    out += ", " + PlainText(identity.machineLine) + "\n";
    if (identity.renderedLater) out += "Written " + writtenAt.ToUIString() + "\n";
    out += "\n" + statusSection(model) + "\n" + machineSection(model) + "\n" + collectorsSection(model) + "\n";
    out += findingsSection(model) + "\n" + timelineSection(model) + "\n" + contentsSection(model);
    for (const ClassTable& table : model.classes) out += "\n" + classSection(model, table);
    return out;
}
