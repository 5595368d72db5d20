// Hardware-error events as the event log renders them (recorded XML): each
// decoded to the part it names, counted per part, and broken XML refused.
#include <gtest/gtest.h>

#include "whea_event.h"

namespace {

std::string event(unsigned id, unsigned level, const char* time, const std::string& data) {
    return "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
           "<Provider Name='Microsoft-Windows-WHEA-Logger' Guid='{C26C4F3C-3F66-4E99-8F8A-39405CFED220}'/>"
           "<EventID>" + std::to_string(id) + "</EventID><Version>0</Version><Level>" + std::to_string(level) +
           "</Level><TimeCreated SystemTime='" + time + "'/><EventRecordID>" + std::to_string(id * 100) +
           "</EventRecordID><Channel>System</Channel></System><EventData>" + data + "</EventData></Event>";
}

std::string line(const HardwareErrorFacts& r) {
    return r.recordId + "|" + (r.timeKnown ? std::to_string(r.unixSeconds) : "?") + "|" + r.severity + "|" + r.kind +
           "|" + r.component + "|" + r.message;
}

TEST(WheaEvents, EachKindToThePartItNames) {
    const struct {
        const char* what;
        std::string xml, message;
        bool decoded;
        std::string line;
    } cases[] = {
        {"corrected PCIe error",
         event(17, 3, "2026-12-07T21:15:00.1234567Z",
               "<Data Name='ErrorSource'>4</Data><Data Name='Segment'>0</Data><Data Name='Bus'>0x3b</Data>"
               "<Data Name='Device'>0x0</Data><Data Name='Function'>0x1</Data>"),
         "A corrected hardware error has occurred.", true,
         "1700|1796678100|Warning|PCIe|0000:3b:00.1|A corrected hardware error has occurred."},
        {"fatal machine check, no message from the publisher",
         event(18, 1, "2026-12-07T22:00:00Z",
               "<Data Name='ErrorSource'>0</Data><Data Name='ApicId'>6</Data><Data Name='MCABank'>4</Data>"),
         "", true, "1800|1796680800|Error|Machine check|CPU 6|Fatal hardware error (event 18), bank 4"},
        {"corrected machine check", event(19, 3, "2026-12-07T22:00:00Z", "<Data Name='ErrorSource'>1</Data><Data Name='ApicId'>0</Data>"),
         "x", true, "1900|1796680800|Warning|Machine check|CPU 0|x"},
        {"corrected memory error", event(47, 3, "2026-12-07T22:00:00Z", "<Data Name='ErrorSource'>1</Data><Data Name='DimmSlot'>DIMM_A1</Data>"),
         "m", true, "4700|1796680800|Warning|Memory|DIMM_A1|m"},
        {"an event of unknown shape", event(99, 4, "not a time", ""), "", true,
         "9900|?|Info|Other||Corrected hardware error (event 99)"},
        {"no XML", "<Event><System>", "", false, "|?||||"},
        {"XML that is no event", "<Other/>", "", false, "|?||||"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HardwareErrorFacts record;
        std::vector<std::string> notes;
        EXPECT_EQ(c.decoded, health::DecodeWheaEvent(c.xml, c.message, &record, notes));
        EXPECT_EQ(c.line, line(record));
        EXPECT_EQ(c.decoded ? 0u : 1u, notes.size());
    }
}

TEST(WheaEvents, PciAddressOfWindowsLocation) {
    const struct {
        const char *location, *address;
    } cases[] = {
        {"PCI bus 59, device 0, function 1", "0000:3b:00.1"},
        {"PCI bus 0, device 31, function 7", "0000:00:1f.7"},
        {"PCI bus 256, device 0, function 0", ""},
        {"PCI bus 1, device 32, function 0", ""},
        {"PCI bus 1, device 0, function 0 extra", ""},
        {"@System32\\drivers\\pci.sys,#65536;PCI bus %1", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.address, health::PciAddressOfLocation(c.location)) << c.location;
}

TEST(WheaEvents, CountedPerPart) {
    HealthFacts facts;
    const struct {
        const char *severity, *kind, *component;
    } records[] = {{"Warning", "PCIe", "0000:3b:00.1"}, {"Warning", "PCIe", "0000:3b:00.1"}, {"Error", "PCIe", "0000:3b:00.1"},
                   {"Warning", "Memory", "DIMM_A1"},    {"Error", "Memory", "DIMM_B1"},     {"Error", "Machine check", "CPU 1"}};
    for (const auto& r : records) {
        HardwareErrorFacts record;
        record.source = "WHEA";
        record.severity = r.severity;
        record.kind = r.kind;
        record.component = r.component;
        facts.records.push_back(record);
    }
    health::CountWheaRecords(facts);
    ASSERT_EQ(1u, facts.pciDevices.size());
    EXPECT_EQ("0000:3b:00.1 WHEA 2 1", facts.pciDevices[0].address + " " + facts.pciDevices[0].source + " " +
                                          std::to_string(facts.pciDevices[0].correctable.value) + " " +
                                          std::to_string(facts.pciDevices[0].fatal.value));
    std::vector<std::string> dimms;
    for (const MemoryCounterFacts& d : facts.dimms)
        dimms.push_back(d.label + " " + std::to_string(d.corrected.value) + " " + std::to_string(d.uncorrected.value));
    EXPECT_EQ((std::vector<std::string>{"DIMM_A1 1 0", "DIMM_B1 0 1"}), dimms);
}

}  // namespace
