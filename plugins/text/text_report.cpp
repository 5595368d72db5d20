#include "text_report.h"

#include <algorithm>

#include "plural.h"
#include "record_line.h"
#include "report_model.h"
#include "text_cell.h"
#include "text_table.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

const size_t kMaxColumn = 40;
// Parts named at the top; the Parts section lists them all.
const size_t kVerdictLines = 12;
const size_t kMaxValue = 72;
const char kIndent[] = "  ";

std::string underline(const std::string& title, char mark) {
    return title + "\n" + std::string(TextWidth(title), mark) + "\n";
}

std::string timeOf(const ReportModel& model, const TCIMValue* value) {
    const TCIMDateTime* at = calendar::PointOf(value);
    return at ? ShownTime(model, *at) : std::string();
}

std::string partLine(const ReportModel& model, const Part& part) {
    return RecordLine(part.hasLatest ? ShownTime(model, part.latest) : std::string(), PartTitle(part),
                      VerdictName(part.verdict), part.reason, Counted(part.evidence.size(), "piece of evidence",
                                                                        "pieces of evidence"));
}

// What fails first: one line a part that is not OK, most severe and most recent first.
std::string verdictSection(const ReportModel& model) {
    const PartsReport& parts = model.parts;
    if (parts.failing == 0 && parts.warnings == 0) {
        std::string out = parts.ok == 0
                              ? std::string("VERDICT: no part checked: no source of this collection reports on the "
                                            "health of a part.\n")
                              : "VERDICT: nothing wrong found: " +
                                    Counted(parts.ok, "part checked, OK.\n", "parts checked, all OK.\n");
        std::string names;
        for (const Part& part : parts.parts)
            if (part.verdict == Verdict::kOK) names += (names.empty() ? "" : ", ") + PlainText(PartTitle(part));
        if (!names.empty()) out += kIndent + std::string("Checked: ") + names + "\n";
        if (parts.unknown)
            out += kIndent + Counted(parts.unknown, "part", "parts") + " of unknown health (see Parts).\n";
        return out;
    }
    std::string out = "VERDICT: " + PartsHeadline(parts) + "\n";
    size_t lines = 0;
    for (const Part& part : parts.parts) {
        if (lines == kVerdictLines || (!VerdictIsFailing(part.verdict) && part.verdict != Verdict::kWarning)) continue;
        out += partLine(model, part);
        ++lines;
    }
    if (parts.failing + parts.warnings > lines)
        out += kIndent + std::string("and ") + std::to_string(parts.failing + parts.warnings - lines) +
               " more (see Parts).\n";
    if (parts.unplaced)
        out += kIndent +
               Counted(parts.unplaced, "error or warning of the logs names", "errors and warnings of the logs name") +
               " no part (see Findings).\n";
    if (parts.unknown) out += kIndent + Counted(parts.unknown, "part", "parts") + " of unknown health (see Parts).\n";
    return out;
}

std::string heavyHittersSection(const ReportModel& model) {
    const ClassTable* table = FindTable(model, "VARNSG_HeavyHittersLogRecord");
    const char kUnsaved[] = "the run log was not saved.\n";
    if (!table) return model.status.runLogSaved ? "Heavy hitters: none were recorded.\n"
                                                : std::string("Heavy hitters unknown: ") + kUnsaved;
    std::string out = "HEAVY HITTERS: " + std::to_string(table->rows.size()) + "\n";
    for (const TCIMInstance* record : table->rows)
        out += RecordLine(timeOf(model, record->GetPropertyValue("MessageTimestamp")), "Heavy hitter", "Warning",
                          PropertyText(*record, "Message"), HeavyHitterDetailOf(model, *record));
    if (!model.status.runLogSaved) out += kIndent + std::string("Perhaps not all: ") + kUnsaved;
    return out;
}

std::string partsSection(const ReportModel& model) {
    const PartsReport& parts = model.parts;
    std::string out = underline("Parts (" + std::to_string(parts.parts.size()) + ")", '=');
    if (parts.parts.empty()) return out + kIndent + "No source of this collection names a part.\n";
    for (const Part& part : parts.parts) out += partLine(model, part);
    return out;
}

std::string statusSection(const ReportModel& model) {
    const CollectionStatus& status = model.status;
    std::string out;
    if (!status.runLogSaved) {
        out = "Collection status unknown: the run log was not saved.\n";
    } else if (status.complete) {
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
                                    Counted(model.findings.size(), "group)", "groups)"),
                                '=');
    if (model.findings.empty()) return out + kIndent + "No findings.\n";
    for (const FindingGroup& group : model.findings) {
        std::string more = "count " + std::to_string(group.count);
        if (group.hasTime) more += "; first " + ShownTime(model, group.first);
        out += RecordLine(group.hasTime ? ShownTime(model, group.last) : std::string(), group.sourceClass,
                          group.severity, FindingText(group.category, group.description, group.message), more);
    }
    return out;
}

std::string timelineSection(const ReportModel& model) {
    std::string out = underline("Timeline (" + Counted(model.timeline.size(), "record") + ", times " +
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
    for (const TCIMClass* cimClass : model.emptyClasses) rows.push_back({PlainText(cimClass->GetName()), "0"});
    std::string out = underline("Contents", '=');
    if (model.classes.empty()) out += kIndent + std::string("No instances.\n");
    return rows.empty() ? out : out + RenderTextTable({"Class", "Instances"}, rows, 64, kIndent);
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
                              FindingText(PropertyText(instance, "Category"), PropertyText(instance, "Description"),
                                          PropertyText(instance, "SourceMessage")),
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
    std::string out = underline(PlainText(table.cimClass->GetName()) + " (" + Counted(count, "instance") + ")",
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
    out += "\n" + verdictSection(model) + "\n" + statusSection(model) + "\n" + heavyHittersSection(model) + "\n";
    out += findingsSection(model) + "\n" + machineSection(model) + "\n" + collectorsSection(model) + "\n";
    out += partsSection(model) + "\n" + timelineSection(model) + "\n" + contentsSection(model);
    for (const ClassTable& table : model.classes) out += "\n" + classSection(model, table);
    return out;
}
