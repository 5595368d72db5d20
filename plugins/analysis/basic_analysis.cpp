#include "basic_analysis.h"

#include <set>
#include <string>
#include <tuple>

#include "finding_class.h"
#include "machine_rules.h"
#include "message_rules.h"
#include "source_severity.h"
#include "wyxcore/container.h"

namespace {

const char* const kLogClasses[] = {"VARNSG_TRAVLog", "VARNSG_ULKLog"};
const char kHeavyHitters[] = "VARNSG_HeavyHittersLogRecord";

std::string textOf(const TCIMInstance& instance, const std::string& name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string();
}

typedef std::tuple<std::string, std::string, std::string, std::string> FindingKey;

class FindingWriter {
public:
    explicit FindingWriter(TContainer& container) : class_(FindingClass(container)), added_(0) {
        for (const TCIMInstance* finding : class_->EnumerateInstances(true)) keys_.insert(keyOf(*finding));
        next_ = class_->GetInstanceCount() + 1;
    }

    // A source without a record number is named by the key given.
    void Add(const TCIMInstance& source, const std::string& category, const std::string& severity,
             const std::string& description, const std::string& key = std::string()) {
        const std::string sourceClass = source.GetClass()->GetName();
        const std::string sourceKey = key.empty() ? "RecordID=" + textOf(source, "RecordID") : key;
        const std::string message = textOf(source, "Message");
        if (!keys_.insert(FindingKey(sourceClass, sourceKey, category, message)).second) return;
        TCIMInstance* finding = new TCIMInstance(class_);
        try {
            finding->SetPropertyValue("CreationClassName", TCIMValue(kFindingClass));
            finding->SetPropertyValue("FindingID", TCIMValue(std::to_string(next_)));
            finding->SetPropertyValue("Severity", TCIMValue(severity));
            finding->SetPropertyValue("Category", TCIMValue(category));
            finding->SetPropertyValue("Description", TCIMValue(description));
            finding->SetPropertyValue("SourceClass", TCIMValue(sourceClass));
            finding->SetPropertyValue("SourceKey", TCIMValue(sourceKey));
            finding->SetPropertyValue("SourceMessage", TCIMValue(message));
            const TCIMValue* stamp = source.GetPropertyValue("MessageTimestamp");
            if (stamp && stamp->GetType() == kCIMDateTime) finding->SetPropertyValue("SourceTimestamp", *stamp);
        } catch (...) {
            delete finding;
            throw;
        }
        finding->Commit();
        ++next_;
        ++added_;
    }

    size_t Added() const { return added_; }

private:
    static FindingKey keyOf(const TCIMInstance& finding) {
        return FindingKey(textOf(finding, "SourceClass"), textOf(finding, "SourceKey"), textOf(finding, "Category"),
                          textOf(finding, "SourceMessage"));
    }

    TCIMClass* class_;
    std::set<FindingKey> keys_;
    size_t next_;
    size_t added_;
};

}  // namespace

size_t RunBasicAnalysis(TContainer& container) {
    FindingWriter writer(container);
    for (const char* className : kLogClasses) {
        const TCIMClass* log = container.FindClass(className);
        if (!log) continue;
        for (const TCIMInstance* entry : log->EnumerateInstances(true)) {
            for (const MessageFinding& finding : ClassifyEntry(textOf(*entry, "Message"), SourceSeverity(*entry)))
                writer.Add(*entry, finding.category, finding.severity, finding.description);
        }
    }
    if (const TCIMClass* heavy = container.FindClass(kHeavyHitters)) {
        for (const TCIMInstance* record : heavy->EnumerateInstances(true))
            writer.Add(*record, "Heavy hitter", "Warning", "Heavy hitter recorded during the run");
    }
    for (const MachineFinding& f : MachineFindings(container))
        writer.Add(*f.source, f.category, f.severity, f.description, f.sourceKey);
    return writer.Added();
}
