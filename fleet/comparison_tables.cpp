#include "comparison_tables.h"

namespace {

const char kAbsent[] = "-";

std::string orAbsent(const std::string& text) { return text.empty() ? kAbsent : text; }

std::string severityCell(const FindingFact& f) {
    if (f.severity.empty() && !f.count) return kAbsent;
    return f.severity + " (" + std::to_string(f.count) + (f.count == 1 ? " record)" : " records)");
}

// What the part was on one side: the facts that can change, in one cell.
std::string partSide(const PartFact& p, bool present) {
    if (!present) return kAbsent;
    std::string text = "location " + orAbsent(p.location) + "; serial " + orAbsent(p.serial);
    if (!p.size.empty()) text += "; size " + p.size;
    if (!p.firmware.empty()) text += "; firmware " + p.firmware;
    return text;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : ", ") + w;
    return text;
}

std::string collected(const CollectionFacts& facts) {
    return facts.hasCollectionTime ? facts.collectedShown : std::string("time not recorded");
}

}  // namespace

std::vector<std::pair<std::string, std::string> > ComparisonHeader(const Comparison& c) {
    const CollectionFacts& a = c.oldFacts;
    const CollectionFacts& b = c.newFacts;
    std::vector<std::pair<std::string, std::string> > lines = {
        {"Server", orAbsent(b.host) + ", type-model " + orAbsent(b.typeModel) + ", serial " + b.serial},
        {"OLD", c.oldFile + " (collected " + collected(a) + ")"},
        {"NEW", c.newFile + " (collected " + collected(b) + ")"},
    };
    if (a.serial != b.serial || a.typeModel != b.typeModel)
        lines.push_back(
            {"Warning", "compared by force: OLD is of serial " + a.serial + ", type-model " + orAbsent(a.typeModel)});
    if (a.hasCollectionTime && b.hasCollectionTime && b.collectedUtc < a.collectedUtc)
        lines.push_back({"Warning", "NEW was collected before OLD: what reads as new may be what went"});
    lines.push_back({"Summary", ComparisonSummary(c)});
    return lines;
}

std::vector<ComparisonTable> BuildComparisonTables(const Comparison& c) {
    std::vector<ComparisonTable> tables;

    ComparisonTable records{
        "records", "New log records",      {"Log", "Record ID", "Time (corrected)", "Severity", "Message"}, {},
        {},        "No log record is new."};
    for (const LogRecordFact* r : c.newRecords) {
        records.rows.push_back({r->log, r->recordId, r->hasTime ? r->shownTime : kAbsent, r->severity, r->message});
        records.severities.push_back(r->severity);
    }
    tables.push_back(records);

    ComparisonTable findings{
        "findings", "Findings", {"Change", "Rule", "Description", "Source class", "Message", "OLD", "NEW"},
        {},         {},         "No finding appeared, cleared or changed severity."};
    for (const FindingChange& f : c.findings) {
        const FindingFact& any = f.after.category.empty() && f.after.description.empty() ? f.before : f.after;
        findings.rows.push_back({FindingChangeName(f.change), any.category, any.description, any.sourceClass,
                                 any.message, severityCell(f.before), severityCell(f.after)});
        findings.severities.push_back(f.change == FindingChangeKind::kCleared ? std::string() : f.after.severity);
    }
    tables.push_back(findings);

    ComparisonTable parts{"parts", "Parts", {"Change", "Part", "Name", "What changed", "OLD", "NEW"},
                          {},      {},      "No part was added, removed or changed."};
    for (const PartChange& p : c.parts) {
        const PartFact& any = p.change == PartChangeKind::kRemoved ? p.before : p.after;
        parts.rows.push_back({PartChangeName(p.change), p.kind, orAbsent(any.name),
                              p.change == PartChangeKind::kChanged ? joined(p.what) : kAbsent,
                              partSide(p.before, p.change != PartChangeKind::kAdded),
                              partSide(p.after, p.change != PartChangeKind::kRemoved)});
        parts.severities.push_back(p.change == PartChangeKind::kRemoved ? "Warning" : "");
    }
    tables.push_back(parts);

    ComparisonTable versions{"versions", "Versions", {"Change", "Kind", "Name", "OLD", "NEW"},
                             {},         {},         "No version changed, appeared or went."};
    for (const VersionChange& v : c.versions) {
        versions.rows.push_back({v.appeared ? "appeared"
                                 : v.went   ? "went"
                                            : "changed",
                                 v.kind, v.name, v.appeared ? kAbsent : v.before, v.went ? kAbsent : v.after});
        versions.severities.push_back("");
    }
    tables.push_back(versions);
    return tables;
}
