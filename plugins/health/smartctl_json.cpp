// smartctl's JSON output (smartmontools 7.0 and later) decoded. Every member
// is checked for its type: the tool's output is input like any other.
#include "smartctl_json.h"

#include <nlohmann/json.hpp>

#include "counter_text.h"

namespace health {

namespace {

using json = nlohmann::json;

const size_t kAttributeLimit = 256;
const size_t kScanLimit = 1024;
const size_t kTextLimit = 256;

class Reader {
public:
    Reader(const std::string& where, std::vector<std::string>& notes) : where_(where), notes_(notes) {}

    // The member of an object, null when the object lacks it; noted when the
    // parent is not an object.
    const json* member(const json* parent, const char* name, const char* path) {
        if (!parent) return nullptr;
        if (!parent->is_object()) {
            wrong(path, "an object");
            return nullptr;
        }
        const auto found = parent->find(name);
        return found == parent->end() ? nullptr : &*found;
    }

    std::string text(const json* value, const char* path) {
        if (!value) return std::string();
        if (!value->is_string()) {
            wrong(path, "a string");
            return std::string();
        }
        std::string text = value->get<std::string>();
        if (text.size() > kTextLimit) text.resize(kTextLimit);
        return text;
    }

    Count count(const json* value, const char* path) {
        Count count;
        if (!value) return count;
        if (value->is_number_unsigned()) {
            count.known = true;
            count.value = value->get<uint64_t>();
        } else if (value->is_number_integer()) {
            notes_.push_back(where_ + ": " + path + " is negative: " + std::to_string(value->get<int64_t>()));
        } else {
            wrong(path, "a count");
        }
        return count;
    }

    bool integer(const json* value, const char* path, int64_t* number) {
        if (!value) return false;
        if (value->is_number_integer()) {
            *number = value->get<int64_t>();
            return true;
        }
        wrong(path, "a whole number");
        return false;
    }

    bool boolean(const json* value, const char* path, bool* flag) {
        if (!value) return false;
        if (value->is_boolean()) {
            *flag = value->get<bool>();
            return true;
        }
        wrong(path, "true or false");
        return false;
    }

private:
    void wrong(const char* path, const char* expected) {
        notes_.push_back(where_ + ": " + path + " is not " + expected);
    }

    std::string where_;
    std::vector<std::string>& notes_;
};

bool parse(const std::string& text, const std::string& where, json* document, std::vector<std::string>& notes) {
    *document = json::parse(text, nullptr, false);
    if (document->is_discarded() || !document->is_object()) {
        const size_t brace = text.find('{');
        notes.push_back(where + ": smartctl gave no JSON" +
                        (text.empty() ? std::string(" (no output)") : ": " + Quoted(text.substr(0, brace))));
        return false;
    }
    return true;
}

std::string joined(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

void decodeAta(Reader& read, const json& document, DiskHealthFacts& disk, std::vector<std::string>& notes) {
    const json* table = read.member(read.member(&document, "ata_smart_attributes", "ata_smart_attributes"), "table",
                                    "ata_smart_attributes");
    if (!table) return;
    if (!table->is_array()) {
        read.text(table, "ata_smart_attributes.table");   // notes the type
        return;
    }
    for (const json& entry : *table) {
        if (disk.attributes.size() == kAttributeLimit) {
            notes.push_back(disk.deviceId + ": only the first " + std::to_string(kAttributeLimit) +
                            " SMART attributes read");
            break;
        }
        int64_t id = 0;
        if (!read.integer(read.member(&entry, "id", "ata_smart_attributes.table[]"), "attribute id", &id) || id < 1 ||
            id > 255) {
            notes.push_back(disk.deviceId + ": a SMART attribute without a valid id skipped");
            continue;
        }
        SmartAttributeFacts attribute;
        attribute.id = static_cast<unsigned>(id);
        attribute.name = read.text(read.member(&entry, "name", "attribute"), "attribute name");
        attribute.value = read.count(read.member(&entry, "value", "attribute"), "attribute value");
        attribute.worst = read.count(read.member(&entry, "worst", "attribute"), "attribute worst");
        attribute.threshold = read.count(read.member(&entry, "thresh", "attribute"), "attribute thresh");
        for (Count* one : {&attribute.value, &attribute.worst, &attribute.threshold}) {
            if (!one->known || one->value <= 255) continue;
            notes.push_back(disk.deviceId + ": SMART attribute " + std::to_string(id) +
                            " out of range: " + std::to_string(one->value));
            *one = Count();
        }
        attribute.whenFailed = read.text(read.member(&entry, "when_failed", "attribute"), "attribute when_failed");
        const json* raw = read.member(&entry, "raw", "attribute");
        attribute.raw = read.text(read.member(raw, "string", "attribute raw"), "attribute raw.string");
        const Count rawValue = read.count(read.member(raw, "value", "attribute raw"), "attribute raw.value");
        if (attribute.raw.empty() && rawValue.known) attribute.raw = std::to_string(rawValue.value);
        // The counters that foretell a failure, by their standard numbers.
        Count* counter = nullptr;
        switch (attribute.id) {
        case 5: counter = &disk.reallocated; break;
        case 187: counter = &disk.reportedUncorrectable; break;
        case 197: counter = &disk.pending; break;
        case 198: counter = &disk.offlineUncorrectable; break;
        case 199: counter = &disk.crcErrors; break;
        }
        // Some makers pack more into the raw value's upper bytes; the low 32 bits count.
        if (counter && rawValue.known) {
            counter->known = true;
            counter->value = rawValue.value & 0xFFFFFFFFull;
        }
        disk.attributes.push_back(attribute);
    }
}

void decodeNvme(Reader& read, const json& document, DiskHealthFacts& disk, std::vector<std::string>& notes) {
    const json* log = read.member(&document, "nvme_smart_health_information_log", "nvme_smart_health_information_log");
    if (!log) return;
    const char path[] = "nvme_smart_health_information_log";
    if (!log->is_object()) {
        read.member(log, "", path);   // notes the type once
        return;
    }
    disk.criticalWarning = read.count(read.member(log, "critical_warning", path), "critical_warning");
    // One byte of bits in the log itself; a larger number is no reading of it.
    if (disk.criticalWarning.known && disk.criticalWarning.value > 255) {
        notes.push_back(disk.deviceId +
                        ": critical_warning out of range: " + std::to_string(disk.criticalWarning.value));
        disk.criticalWarning = Count();
    }
    disk.mediaErrors = read.count(read.member(log, "media_errors", path), "media_errors");
    disk.percentageUsed = read.count(read.member(log, "percentage_used", path), "percentage_used");
    disk.availableSpare = read.count(read.member(log, "available_spare", path), "available_spare");
    disk.spareThreshold = read.count(read.member(log, "available_spare_threshold", path), "available_spare_threshold");
    disk.unsafeShutdowns = read.count(read.member(log, "unsafe_shutdowns", path), "unsafe_shutdowns");
    if (!disk.powerOnHours.known)
        disk.powerOnHours = read.count(read.member(log, "power_on_hours", path), "power_on_hours");
}

void decodeScsi(Reader& read, const json& document, DiskHealthFacts& disk) {
    disk.grownDefects = read.count(read.member(&document, "scsi_grown_defect_list", "scsi_grown_defect_list"),
                                   "scsi_grown_defect_list");
    const json* log = read.member(&document, "scsi_error_counter_log", "scsi_error_counter_log");
    if (!log) return;
    for (const char* direction : {"read", "write", "verify"}) {
        const Count count = read.count(
            read.member(read.member(log, direction, "scsi_error_counter_log"), "total_uncorrected_errors", direction),
            "total_uncorrected_errors");
        if (!count.known) continue;
        disk.uncorrectedErrors.known = true;
        disk.uncorrectedErrors.value += count.value;
    }
}

}  // namespace

bool DecodeSmartctlScan(const std::string& text, std::vector<SmartctlDevice>* devices,
                        std::vector<std::string>& notes) {
    json document;
    if (!parse(text, "smartctl --scan-open", &document, notes)) return false;
    Reader read("smartctl --scan-open", notes);
    const json* list = read.member(&document, "devices", "devices");
    if (!list) return true;   // no devices
    if (!list->is_array()) {
        notes.push_back("smartctl --scan-open: devices is not a list");
        return false;
    }
    for (const json& entry : *list) {
        if (devices->size() == kScanLimit) {
            notes.push_back("Only the first " + std::to_string(kScanLimit) + " devices of smartctl's scan read");
            break;
        }
        SmartctlDevice device;
        device.name = read.text(read.member(&entry, "name", "devices[]"), "device name");
        device.type = read.text(read.member(&entry, "type", "devices[]"), "device type");
        device.infoName = read.text(read.member(&entry, "info_name", "devices[]"), "device info_name");
        // A name that could pass for an option is never handed on.
        if (device.name.empty() || device.name[0] == '-' || (!device.type.empty() && device.type[0] == '-')) {
            notes.push_back("smartctl --scan-open: a device without a usable name skipped: " + Quoted(device.name));
            continue;
        }
        devices->push_back(device);
    }
    return true;
}

bool SmartctlStatedStatus(const std::string& text, unsigned* status) {
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) return false;
    const auto tool = document.find("smartctl");
    if (tool == document.end() || !tool->is_object()) return false;
    const auto stated = tool->find("exit_status");
    if (stated == tool->end() || !stated->is_number_unsigned() || stated->get<uint64_t>() > 255) return false;
    *status = static_cast<unsigned>(stated->get<uint64_t>());
    return true;
}

bool DecodeSmartctlDevice(const std::string& text, DiskHealthFacts& disk, std::vector<std::string>& notes) {
    json document;
    if (!parse(text, disk.deviceId, &document, notes)) return false;
    Reader read(disk.deviceId, notes);
    disk.source = "smartctl";
    disk.model = read.text(read.member(&document, "model_name", "model_name"), "model_name");
    if (disk.model.empty())
        disk.model = joined(read.text(read.member(&document, "scsi_vendor", "scsi_vendor"), "scsi_vendor"),
                            read.text(read.member(&document, "scsi_product", "scsi_product"), "scsi_product"));
    disk.serialNumber = read.text(read.member(&document, "serial_number", "serial_number"), "serial_number");
    disk.firmware = read.text(read.member(&document, "firmware_version", "firmware_version"), "firmware_version");
    if (disk.firmware.empty())
        disk.firmware = read.text(read.member(&document, "scsi_revision", "scsi_revision"), "scsi_revision");
    const std::string protocol =
        read.text(read.member(read.member(&document, "device", "device"), "protocol", "device"), "device.protocol");
    if (protocol == "ATA" || protocol == "NVMe" || protocol == "SCSI") disk.protocol = protocol;
    bool passed = false;
    if (read.boolean(read.member(read.member(&document, "smart_status", "smart_status"), "passed", "smart_status"),
                     "smart_status.passed", &passed))
        disk.assessment = passed ? "Passed" : "Failed";
    int64_t temperature = 0;
    if (read.integer(read.member(read.member(&document, "temperature", "temperature"), "current", "temperature"),
                     "temperature.current", &temperature) &&
        temperature > -273 && temperature < 1000) {
        disk.temperatureKnown = true;
        disk.temperature = temperature;
    }
    disk.powerOnHours =
        read.count(read.member(read.member(&document, "power_on_time", "power_on_time"), "hours", "power_on_time"),
                   "power_on_time.hours");
    decodeAta(read, document, disk, notes);
    decodeNvme(read, document, disk, notes);
    decodeScsi(read, document, disk);
    unsigned status = 0;
    if (SmartctlStatedStatus(text, &status)) {
        disk.toolStatusKnown = true;
        disk.toolStatus = status;
    }
    // The disk's own verdict first; the status bit says the same where the
    // output lacks it.
    if (disk.assessment.empty()) disk.assessment = (status & kSmartctlDiskFailing) ? "Failed" : "Unknown";
    return true;
}

}  // namespace health
