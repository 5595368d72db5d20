#include "comparison_tables.h"

#include "parts.h"

namespace {

const char kAbsent[] = "-";

std::string orAbsent(const std::string& text) { return text.empty() ? kAbsent : text; }

std::string severityCell(const FindingFact& f) {
    if (f.severity.empty() && !f.count) return kAbsent;
    return f.severity + " (" + std::to_string(f.count) + (f.count == 1 ? " record)" : " records)");
}

// A part's verdict on one side: "Failed (2 records, latest ...)".
std::string verdictSide(const PartVerdictFact& p, bool present) {
    if (!present) return kAbsent;
    std::string text = p.verdict + " (" + std::to_string(p.evidence) + (p.evidence == 1 ? " record" : " records");
    if (p.hasLatest) text += ", latest " + p.latestShown;
    return text + ")";
}

// The row's colour: what the part is now, nothing once it cleared.
std::string verdictSeverity(const VerdictChange& v) {
    if (v.change == VerdictChangeKind::kCleared) return std::string();
    return v.after.verdict == VerdictName(Verdict::kWarning) ? "Warning" : "Error";
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

    ComparisonTable verdicts{"verdicts", "Part verdicts", {"Change", "Kind", "Part", "OLD", "NEW"},
                             {},         {},              "No part verdict appeared, cleared or changed."};
    for (const VerdictChange& v : c.verdicts) {
        const PartVerdictFact& any = v.hasAfter ? v.after : v.before;
        verdicts.rows.push_back({VerdictChangeName(v.change), any.kind, any.name, verdictSide(v.before, v.hasBefore),
                                 verdictSide(v.after, v.hasAfter)});
        verdicts.severities.push_back(verdictSeverity(v));
    }
    tables.push_back(verdicts);

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
