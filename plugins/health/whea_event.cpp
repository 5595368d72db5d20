// Hardware-error events of the Windows event log, decoded from their XML.
#include "whea_event.h"

#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "counter_text.h"
#include "wyxcore/calendar.h"

namespace health {

namespace {

// "2026-12-07T21:15:00.1234567Z" as seconds since 1970 (UTC).
bool systemTime(const std::string& text, int64_t* seconds) {
    int year, month, day, hour, minute, second;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &year, &month, &day, &hour, &minute, &second) != 6 ||
        text.empty() || text.back() != 'Z')
        return false;
    if (!calendar::IsDate(year, month, day) || hour > 23 || minute > 59 || second > 60) return false;
    *seconds = calendar::DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

// A number of the event's data: decimal or 0x hexadecimal.
bool number(const std::map<std::string, std::string>& data, const char* name, unsigned long long* value) {
    const auto found = data.find(name);
    if (found == data.end() || found->second.empty()) return false;
    char* end = nullptr;
    *value = std::strtoull(found->second.c_str(), &end, 0);
    return *end == '\0';
}

std::string text(const std::map<std::string, std::string>& data, const char* name) {
    const auto found = data.find(name);
    return found == data.end() ? std::string() : found->second;
}

// The error sources WHEA numbers: which kind of error each reports.
const char* sourceKind(unsigned long long source) {
    switch (source) {
    case 0:   // machine check exception
    case 1:   // corrected machine check
    case 6:   // INIT
        return "Machine check";
    case 4:   // PCI Express
        return "PCIe";
    default: return nullptr;
    }
}

}  // namespace

bool DecodeWheaEvent(const std::string& xml, const std::string& message, HardwareErrorFacts* record,
                     std::vector<std::string>& notes) {
    if (xml.size() > kWheaXmlLimit) {
        notes.push_back("WHEA event of " + std::to_string(xml.size()) + " bytes skipped");
        return false;
    }
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8)) {
        notes.push_back("WHEA event that is no XML skipped: " + Quoted(xml));
        return false;
    }
    const pugi::xml_node event = document.child("Event");
    const pugi::xml_node system = event.child("System");
    if (!system) {
        notes.push_back("WHEA event without its System part skipped");
        return false;
    }
    std::map<std::string, std::string> data;
    for (const pugi::xml_node item : event.child("EventData").children("Data"))
        data[item.attribute("Name").value()] = item.text().get();
    const unsigned eventId = system.child("EventID").text().as_uint();
    const unsigned level = system.child("Level").text().as_uint();
    record->source = "WHEA";
    record->recordId = system.child("EventRecordID").text().get();
    record->timeKnown = systemTime(system.child("TimeCreated").attribute("SystemTime").value(), &record->unixSeconds);
    record->severity = level == 1 || level == 2 ? "Error" : level == 3 ? "Warning" : "Info";
    unsigned long long value = 0, bus = 0, device = 0, function = 0, segment = 0;
    const char* kind = number(data, "ErrorSource", &value) ? sourceKind(value) : nullptr;
    if (number(data, "Bus", &bus) && number(data, "Device", &device) && number(data, "Function", &function)) {
        number(data, "Segment", &segment);
        char address[32];
        std::snprintf(address, sizeof address, "%04llx:%02llx:%02llx.%llx", segment & 0xFFFF, bus & 0xFF, device & 0x1F,
                      function & 0x7);
        record->component = address;
        kind = "PCIe";
    } else if (!text(data, "DimmSlot").empty() || !text(data, "Module").empty() || eventId == 47) {
        record->component = !text(data, "DimmSlot").empty() ? text(data, "DimmSlot") : text(data, "Module");
        kind = "Memory";
    } else if (number(data, "ApicId", &value)) {
        record->component = "CPU " + std::to_string(value);
    }
    record->kind = kind ? kind : "Other";
    record->message = message;
    if (record->message.empty()) {
        record->message = std::string(record->severity == "Error" ? "Fatal" : "Corrected") + " hardware error (event " +
                          std::to_string(eventId) + ")";
        if (number(data, "MCABank", &value)) record->message += ", bank " + std::to_string(value);
    }
    return true;
}

std::string PciAddressOfLocation(const std::string& location) {
    unsigned bus = 0, device = 0, function = 0;
    int consumed = 0;
    if (std::sscanf(location.c_str(), "PCI bus %u, device %u, function %u%n", &bus, &device, &function, &consumed) != 3 ||
        static_cast<size_t>(consumed) != location.size() || bus > 255 || device > 31 || function > 7)
        return std::string();
    char address[32];
    std::snprintf(address, sizeof address, "0000:%02x:%02x.%x", bus, device, function);
    return address;
}

void CountWheaRecords(HealthFacts& facts) {
    std::map<std::string, PciErrorFacts> pci;
    std::map<std::string, MemoryCounterFacts> memory;
    for (const HardwareErrorFacts& record : facts.records) {
        if (record.source != "WHEA" || record.component.empty()) continue;
        const bool fatal = record.severity == "Error";
        if (record.kind == "PCIe") {
            PciErrorFacts& device = pci[record.component];
            device.source = "WHEA";
            device.address = record.component;
            Count& count = fatal ? device.fatal : device.correctable;
            count.known = true;
            ++count.value;
            if (!fatal)
                device.fatal.known = true;
            else
                device.correctable.known = true;
        } else if (record.kind == "Memory") {
            MemoryCounterFacts& module = memory[record.component];
            module.source = "WHEA";
            module.label = record.component;
            module.corrected.known = module.uncorrected.known = true;
            ++(fatal ? module.uncorrected : module.corrected).value;
        }
    }
    for (auto& device : pci) facts.pciDevices.push_back(device.second);
    for (auto& module : memory) facts.dimms.push_back(module.second);
}

}  // namespace health
