#include "report_identity.h"

#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

const char kFirmware[] = "not reported by the firmware";
const char kOperatingSystem[] = "not reported by the operating system";
// A report written this long after the run's last record was rendered later, from a saved file.
const long long kSameRunSeconds = 10 * 60;

const TCIMInstance* firstInstance(const TContainer& container, const char* className) {
    const TCIMClass* cimClass = container.FindClass(className);
    if (!cimClass || !cimClass->GetInstanceCount()) return nullptr;
    return cimClass->EnumerateInstances(true).front();
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

IdentityFact fact(const char* label, const std::string& value, const char* missing) {
    IdentityFact out{label, value, std::string()};
    if (trimmed(value).empty()) {
        out.value.clear();
        out.missing = missing;
    }
    return out;
}

}  // namespace

std::string TypeModelOf(const std::string& marked) {
    static const std::string mark = "{CMCMTM}";
    return marked.compare(0, mark.size(), mark) == 0 ? marked.substr(mark.size()) : marked;
}

ReportIdentity BuildIdentity(const TContainer& container, const TCIMDateTime& renderedAt) {
    ReportIdentity identity;
    identity.renderedAt = renderedAt;
    if (const TCIMInstance* system = firstInstance(container, "VARNSG_ComputerSystem")) {
        identity.hasSystem = true;
        identity.host = PropertyText(*system, "Name");
        identity.typeModel = TypeModelOf(PropertyText(*system, "CMCMTM"));
        identity.facts = {fact("Host name", identity.host, kOperatingSystem),
                          fact("Manufacturer", PropertyText(*system, "Manufacturer"), kFirmware),
                          fact("Model", PropertyText(*system, "Model"), kFirmware),
                          fact("Serial number", PropertyText(*system, "SerialNumber"), kFirmware),
                          fact("Machine type-model", identity.typeModel, "not marked: the run identified no model")};
        std::string line = trimmed(identity.host).empty() ? std::string("host not named") : identity.host;
        for (const IdentityFact& f : identity.facts)
            if (f.label == std::string("Model")) line += ", " + (f.value.empty() ? "model " + f.missing : f.value);
        const std::string serial = PropertyText(*system, "SerialNumber");
        line += ", serial " + (trimmed(serial).empty() ? std::string(kFirmware) : serial);
        identity.machineLine = line;
    } else {
        identity.machineLine = "Unknown machine";
    }
    if (const TCIMInstance* os = firstInstance(container, "VARNSG_OperatingSystem")) {
        const std::string name = trimmed(PropertyText(*os, "Name") + " " + PropertyText(*os, "Version"));
        identity.facts.push_back(fact("Operating system", name, kOperatingSystem));
        std::string boot = PropertyText(*os, "LastBootUpTime");
        if (const TCIMDateTime* at = calendar::PointOf(os->GetPropertyValue("LastBootUpTime"))) {
            TCIMDateTime seconds;   // to the second, as every other time of the report
            seconds.Set(at->GetYear(), at->GetMonth(), at->GetDay(), at->GetHour(), at->GetMinute(), at->GetSecond(), 0,
                        calendar::OffsetMinutes(*at));
            boot = seconds.ToUIString();
        }
        identity.facts.push_back(fact("Last boot", boot, kOperatingSystem));
    }
    bool any = false;
    TCIMDateTime last;
    if (const TCIMClass* log = container.FindClass("VARNSG_OSKLogRecord")) {
        for (const TCIMInstance* record : log->EnumerateInstances(true)) {
            const TCIMValue* value = record->GetPropertyValue("MessageTimestamp");
            const TCIMDateTime* point = calendar::PointOf(value);
            if (!point) continue;
            const TCIMDateTime& at = *point;
            if (!any || at < identity.collectedAt) identity.collectedAt = at;
            if (!any || last < at) last = at;
            any = true;
        }
    }
    identity.hasCollectionTime = any;
    identity.renderedLater = !any ||
                             calendar::UtcSeconds(renderedAt) - calendar::UtcSeconds(last) > kSameRunSeconds ||
                             calendar::UtcSeconds(renderedAt) < calendar::UtcSeconds(identity.collectedAt);
    return identity;
}
