#include "ipmi_tables.h"

#include <cstddef>

namespace ipmi {

namespace {

const Severity I = Severity::Info;
const Severity W = Severity::Warning;
const Severity E = Severity::Error;

const char* const kSensorTypes[] = {
    nullptr,                              // 0x00 reserved
    "Temperature",                        // 0x01
    "Voltage",
    "Current",
    "Fan",
    "Physical Security",                  // 0x05
    "Platform Security",
    "Processor",
    "Power Supply",
    "Power Unit",
    "Cooling Device",                     // 0x0A
    "Other Units-based Sensor",
    "Memory",
    "Drive Slot (Bay)",
    "POST Memory Resize",
    "System Firmware Progress",           // 0x0F
    "Event Logging Disabled",
    "Watchdog 1",
    "System Event",
    "Critical Interrupt",
    "Button / Switch",                    // 0x14
    "Module / Board",
    "Microcontroller / Coprocessor",
    "Add-in Card",
    "Chassis",
    "Chip Set",                           // 0x19
    "Other FRU",
    "Cable / Interconnect",
    "Terminator",
    "System Boot / Restart Initiated",
    "Boot Error",                         // 0x1E
    "Base OS Boot / Installation Status",
    "OS Stop / Shutdown",
    "Slot / Connector",
    "System ACPI Power State",
    "Watchdog 2",                         // 0x23
    "Platform Alert",
    "Entity Presence",
    "Monitor ASIC / IC",
    "LAN",
    "Management Subsystem Health",        // 0x28
    "Battery",
    "Session Audit",
    "Version Change",
    "FRU State",                          // 0x2C
};

struct EventTable {
    uint8_t code;
    const EventText* rows;
    size_t count;
};

#define NORBIX_TABLE(code, rows) {code, rows, sizeof(rows) / sizeof(rows[0])}

// Generic event/reading types. Threshold crossings: non-critical is a warning,
// critical and non-recoverable are errors, whichever way the reading went.
const EventText kThreshold[] = {
    {0x00, "Lower Non-critical going low", W},   {0x01, "Lower Non-critical going high", W},
    {0x02, "Lower Critical going low", E},       {0x03, "Lower Critical going high", E},
    {0x04, "Lower Non-recoverable going low", E}, {0x05, "Lower Non-recoverable going high", E},
    {0x06, "Upper Non-critical going low", W},   {0x07, "Upper Non-critical going high", W},
    {0x08, "Upper Critical going low", E},       {0x09, "Upper Critical going high", E},
    {0x0A, "Upper Non-recoverable going low", E}, {0x0B, "Upper Non-recoverable going high", E},
};
const EventText kUsageState[] = {
    {0x00, "Transition to Idle", I}, {0x01, "Transition to Active", I}, {0x02, "Transition to Busy", I}};
const EventText kDigitalState[] = {{0x00, "State Deasserted", I}, {0x01, "State Asserted", I}};
const EventText kPredictive[] = {{0x00, "Predictive Failure deasserted", I}, {0x01, "Predictive Failure asserted", W}};
const EventText kLimit[] = {{0x00, "Limit Not Exceeded", I}, {0x01, "Limit Exceeded", W}};
const EventText kPerformance[] = {{0x00, "Performance Met", I}, {0x01, "Performance Lags", W}};
const EventText kSeverityStates[] = {
    {0x00, "Transition to OK", I},
    {0x01, "Transition to Non-Critical from OK", W},
    {0x02, "Transition to Critical from less severe", E},
    {0x03, "Transition to Non-recoverable from less severe", E},
    {0x04, "Transition to Non-Critical from more severe", W},
    {0x05, "Transition to Critical from Non-recoverable", E},
    {0x06, "Transition to Non-recoverable", E},
    {0x07, "Monitor", I},
    {0x08, "Informational", I},
};
const EventText kPresence[] = {{0x00, "Device Removed / Device Absent", I}, {0x01, "Device Inserted / Device Present", I}};
const EventText kEnabled[] = {{0x00, "Device Disabled", I}, {0x01, "Device Enabled", I}};
const EventText kRunState[] = {
    {0x00, "Transition to Running", I},  {0x01, "Transition to In Test", I},  {0x02, "Transition to Power Off", I},
    {0x03, "Transition to On Line", I},  {0x04, "Transition to Off Line", W}, {0x05, "Transition to Off Duty", I},
    {0x06, "Transition to Degraded", W}, {0x07, "Transition to Power Save", I}, {0x08, "Install Error", E},
};
const EventText kRedundancy[] = {
    {0x00, "Fully Redundant", I},
    {0x01, "Redundancy Lost", E},
    {0x02, "Redundancy Degraded", W},
    {0x03, "Non-redundant: Sufficient Resources from Redundant", W},
    {0x04, "Non-redundant: Sufficient Resources from Insufficient Resources", I},
    {0x05, "Non-redundant: Insufficient Resources", E},
    {0x06, "Redundancy Degraded from Fully Redundant", W},
    {0x07, "Redundancy Degraded from Non-redundant", W},
};
const EventText kAcpiDeviceState[] = {
    {0x00, "D0 Power State", I}, {0x01, "D1 Power State", I}, {0x02, "D2 Power State", I}, {0x03, "D3 Power State", I}};

const EventTable kGeneric[] = {
    NORBIX_TABLE(0x01, kThreshold),  NORBIX_TABLE(0x02, kUsageState),     NORBIX_TABLE(0x03, kDigitalState),
    NORBIX_TABLE(0x04, kPredictive), NORBIX_TABLE(0x05, kLimit),          NORBIX_TABLE(0x06, kPerformance),
    NORBIX_TABLE(0x07, kSeverityStates), NORBIX_TABLE(0x08, kPresence),   NORBIX_TABLE(0x09, kEnabled),
    NORBIX_TABLE(0x0A, kRunState),   NORBIX_TABLE(0x0B, kRedundancy),     NORBIX_TABLE(0x0C, kAcpiDeviceState),
};

// Sensor-specific offsets. An offset is an error when the part has failed or
// data is lost, a warning when it needs attention before it fails.
const EventText kPhysicalSecurity[] = {
    {0x00, "General Chassis Intrusion", W}, {0x01, "Drive Bay intrusion", W},
    {0x02, "I/O Card area intrusion", W},   {0x03, "Processor area intrusion", W},
    {0x04, "LAN Leash Lost", W},            {0x05, "Unauthorized dock", W},
    {0x06, "FAN area intrusion", W},
};
const EventText kPlatformSecurity[] = {
    {0x00, "Secure Mode (Front Panel Lockout) Violation attempt", W},
    {0x01, "Pre-boot Password Violation - user password", W},
    {0x02, "Pre-boot Password Violation attempt - setup password", W},
    {0x03, "Pre-boot Password Violation - network boot password", W},
    {0x04, "Other pre-boot Password Violation", W},
    {0x05, "Out-of-band Access Password Violation", W},
};
const EventText kProcessor[] = {
    {0x00, "IERR", E},
    {0x01, "Thermal Trip", E},
    {0x02, "FRB1/BIST failure", E},
    {0x03, "FRB2/Hang in POST failure", E},
    {0x04, "FRB3/Processor Startup/Initialization failure", E},
    {0x05, "Configuration Error", E},
    {0x06, "SM BIOS Uncorrectable CPU-complex Error", E},
    {0x07, "Processor Presence detected", I},
    {0x08, "Processor disabled", W},
    {0x09, "Terminator Presence Detected", I},
    {0x0A, "Processor Automatically Throttled", W},
    {0x0B, "Machine Check Exception (Uncorrectable)", E},
    {0x0C, "Correctable Machine Check Error", W},
};
const EventText kPowerSupply[] = {
    {0x00, "Presence detected", I},
    {0x01, "Power Supply Failure detected", E},
    {0x02, "Predictive Failure", W},
    {0x03, "Power Supply input lost (AC/DC)", E},
    {0x04, "Power Supply input lost or out-of-range", E},
    {0x05, "Power Supply input out-of-range, but present", W},
    {0x06, "Configuration error", W},
    {0x07, "Power Supply Inactive (in standby state)", I},
};
const EventText kPowerUnit[] = {
    {0x00, "Power Off / Power Down", I},      {0x01, "Power Cycle", I},
    {0x02, "240VA Power Down", W},            {0x03, "Interlock Power Down", W},
    {0x04, "AC lost / Power input lost", E},  {0x05, "Soft Power Control Failure", E},
    {0x06, "Power Unit Failure detected", E}, {0x07, "Predictive Failure", W},
};
const EventText kMemory[] = {
    {0x00, "Correctable ECC / other correctable memory error", W},
    {0x01, "Uncorrectable ECC / other uncorrectable memory error", E},
    {0x02, "Parity", E},
    {0x03, "Memory Scrub Failed (stuck bit)", E},
    {0x04, "Memory Device Disabled", W},
    {0x05, "Correctable ECC / other correctable memory error logging limit reached", W},
    {0x06, "Presence detected", I},
    {0x07, "Configuration error", W},
    {0x08, "Spare", I},
    {0x09, "Memory Automatically Throttled", W},
    {0x0A, "Critical Overtemperature", E},
};
const EventText kDriveSlot[] = {
    {0x00, "Drive Presence", I},
    {0x01, "Drive Fault", E},
    {0x02, "Predictive Failure", W},
    {0x03, "Hot Spare", I},
    {0x04, "Consistency Check / Parity Check in progress", I},
    {0x05, "In Critical Array", W},
    {0x06, "In Failed Array", E},
    {0x07, "Rebuild/Remap in progress", I},
    {0x08, "Rebuild/Remap Aborted", W},
};
const EventText kFirmwareProgress[] = {
    {0x00, "System Firmware Error (POST Error)", E},
    {0x01, "System Firmware Hang", E},
    {0x02, "System Firmware Progress", I},
};
const EventText kLoggingDisabled[] = {
    {0x00, "Correctable Memory Error Logging Disabled", W},
    {0x01, "Event Type Logging Disabled", W},
    {0x02, "Log Area Reset/Cleared", I},
    {0x03, "All Event Logging Disabled", W},
    {0x04, "SEL Full", W},
    {0x05, "SEL Almost Full", W},
    {0x06, "Correctable Machine Check Error Logging Disabled", W},
};
const EventText kWatchdog1[] = {
    {0x00, "BIOS Watchdog Reset", W},
    {0x01, "OS Watchdog Reset", W},
    {0x02, "OS Watchdog Shut Down", W},
    {0x03, "OS Watchdog Power Down", W},
    {0x04, "OS Watchdog Power Cycle", W},
    {0x05, "OS Watchdog NMI / Diagnostic Interrupt", W},
    {0x06, "OS Watchdog Expired, status only", W},
    {0x07, "OS Watchdog pre-timeout Interrupt, non-NMI", W},
};
const EventText kSystemEvent[] = {
    {0x00, "System Reconfigured", I},
    {0x01, "OEM System Boot Event", I},
    {0x02, "Undetermined system hardware failure", E},
    {0x03, "Entry added to Auxiliary Log", I},
    {0x04, "PEF Action", I},
    {0x05, "Timestamp Clock Synch", I},
};
const EventText kCriticalInterrupt[] = {
    {0x00, "Front Panel NMI / Diagnostic Interrupt", W},
    {0x01, "Bus Timeout", E},
    {0x02, "I/O channel check NMI", E},
    {0x03, "Software NMI", W},
    {0x04, "PCI PERR", E},
    {0x05, "PCI SERR", E},
    {0x06, "EISA Fail Safe Timeout", E},
    {0x07, "Bus Correctable Error", W},
    {0x08, "Bus Uncorrectable Error", E},
    {0x09, "Fatal NMI", E},
    {0x0A, "Bus Fatal Error", E},
    {0x0B, "Bus Degraded", W},
};
const EventText kButton[] = {
    {0x00, "Power Button pressed", I},   {0x01, "Sleep Button pressed", I},
    {0x02, "Reset Button pressed", I},   {0x03, "FRU latch open", I},
    {0x04, "FRU service request button", I},
};
const EventText kChipSet[] = {{0x00, "Soft Power Control Failure", E}, {0x01, "Thermal Trip", E}};
const EventText kCable[] = {
    {0x00, "Cable/Interconnect is connected", I},
    {0x01, "Configuration Error - Incorrect cable connected / Incorrect interconnection", W},
};
const EventText kBootInitiated[] = {
    {0x00, "Initiated by power up", I},
    {0x01, "Initiated by hard reset", I},
    {0x02, "Initiated by warm reset", I},
    {0x03, "User requested PXE boot", I},
    {0x04, "Automatic boot to diagnostic", I},
    {0x05, "OS / run-time software initiated hard reset", I},
    {0x06, "OS / run-time software initiated warm reset", I},
    {0x07, "System Restart", I},
};
const EventText kBootError[] = {
    {0x00, "No bootable media", W},
    {0x01, "Non-bootable diskette left in drive", W},
    {0x02, "PXE Server not found", W},
    {0x03, "Invalid boot sector", W},
    {0x04, "Timeout waiting for user selection of boot source", W},
};
const EventText kOsBoot[] = {
    {0x00, "A: boot completed", I},
    {0x01, "C: boot completed", I},
    {0x02, "PXE boot completed", I},
    {0x03, "Diagnostic boot completed", I},
    {0x04, "CD-ROM boot completed", I},
    {0x05, "ROM boot completed", I},
    {0x06, "boot completed - boot device not specified", I},
    {0x07, "Base OS/Hypervisor Installation started", I},
    {0x08, "Base OS/Hypervisor Installation completed", I},
    {0x09, "Base OS/Hypervisor Installation aborted", W},
    {0x0A, "Base OS/Hypervisor Installation failed", E},
};
const EventText kOsStop[] = {
    {0x00, "Critical stop during OS load / initialization", E},
    {0x01, "Run-time Critical Stop", E},
    {0x02, "OS Graceful Stop", I},
    {0x03, "OS Graceful Shutdown", I},
    {0x04, "Soft Shutdown initiated by PEF", I},
    {0x05, "Agent Not Responding", W},
};
const EventText kSlot[] = {
    {0x00, "Fault Status asserted", E},
    {0x01, "Identify Status asserted", I},
    {0x02, "Slot / Connector Device installed/attached", I},
    {0x03, "Slot / Connector Ready for Device Installation", I},
    {0x04, "Slot/Connector Ready for Device Removal", I},
    {0x05, "Slot Power is Off", I},
    {0x06, "Slot / Connector Device Removal Request", I},
    {0x07, "Interlock asserted", I},
    {0x08, "Slot is Disabled", W},
    {0x09, "Slot holds spare device", I},
};
const EventText kAcpiSystemState[] = {
    {0x00, "S0/G0 working", I},
    {0x01, "S1 sleeping with system h/w & processor context maintained", I},
    {0x02, "S2 sleeping, processor context lost", I},
    {0x03, "S3 sleeping, processor & h/w context lost, memory retained", I},
    {0x04, "S4 non-volatile sleep / suspend-to-disk", I},
    {0x05, "S5/G2 soft-off", I},
    {0x06, "S4/S5 soft-off, particular S4/S5 state cannot be determined", I},
    {0x07, "G3/Mechanical Off", I},
    {0x08, "Sleeping in an S1, S2, or S3 states", I},
    {0x09, "G1 sleeping", I},
    {0x0A, "S5 entered by override", I},
    {0x0B, "Legacy ON state", I},
    {0x0C, "Legacy OFF state", I},
    {0x0E, "Unknown", I},
};
const EventText kWatchdog2[] = {
    {0x00, "Timer expired, status only", W},
    {0x01, "Hard Reset", W},
    {0x02, "Power Down", W},
    {0x03, "Power Cycle", W},
    {0x08, "Timer interrupt", W},
};
const EventText kPlatformAlert[] = {
    {0x00, "Platform generated page", I},
    {0x01, "Platform generated LAN alert", I},
    {0x02, "Platform Event Trap generated", I},
    {0x03, "Platform generated SNMP trap", I},
};
const EventText kEntityPresence[] = {
    {0x00, "Entity Present", I}, {0x01, "Entity Absent", W}, {0x02, "Entity Disabled", W}};
const EventText kLan[] = {{0x00, "LAN Heartbeat Lost", W}, {0x01, "LAN Heartbeat", I}};
const EventText kManagementHealth[] = {
    {0x00, "Sensor access degraded or unavailable", W},
    {0x01, "Controller access degraded or unavailable", W},
    {0x02, "Management controller off-line", W},
    {0x03, "Management controller unavailable", E},
    {0x04, "Sensor failure", W},
    {0x05, "FRU failure", E},
};
const EventText kBattery[] = {
    {0x00, "Battery low (predictive failure)", W}, {0x01, "Battery failed", E}, {0x02, "Battery presence detected", I}};
const EventText kSessionAudit[] = {
    {0x00, "Session Activated", I},
    {0x01, "Session Deactivated", I},
    {0x02, "Invalid Username or Password", W},
    {0x03, "Invalid password disable", W},
};
const EventText kVersionChange[] = {
    {0x00, "Hardware change detected with associated Entity", I},
    {0x01, "Firmware or software change detected with associated Entity", I},
    {0x02, "Hardware incompatibility detected with associated Entity", W},
    {0x03, "Firmware or software incompatibility detected with associated Entity", W},
    {0x04, "Entity is of an invalid or unsupported hardware version", W},
    {0x05, "Entity contains an invalid or unsupported firmware or software version", W},
    {0x06, "Hardware Change detected with associated Entity was successful", I},
    {0x07, "Software or F/W Change detected with associated Entity was successful", I},
};
const EventText kFruState[] = {
    {0x00, "FRU Not Installed", I},          {0x01, "FRU Inactive", I},
    {0x02, "FRU Activation Requested", I},   {0x03, "FRU Activation In Progress", I},
    {0x04, "FRU Active", I},                 {0x05, "FRU Deactivation Requested", I},
    {0x06, "FRU Deactivation In Progress", I}, {0x07, "FRU Communication Lost", E},
};

const EventTable kSensorSpecific[] = {
    NORBIX_TABLE(0x05, kPhysicalSecurity), NORBIX_TABLE(0x06, kPlatformSecurity), NORBIX_TABLE(0x07, kProcessor),
    NORBIX_TABLE(0x08, kPowerSupply),      NORBIX_TABLE(0x09, kPowerUnit),        NORBIX_TABLE(0x0C, kMemory),
    NORBIX_TABLE(0x0D, kDriveSlot),        NORBIX_TABLE(0x0F, kFirmwareProgress), NORBIX_TABLE(0x10, kLoggingDisabled),
    NORBIX_TABLE(0x11, kWatchdog1),        NORBIX_TABLE(0x12, kSystemEvent),      NORBIX_TABLE(0x13, kCriticalInterrupt),
    NORBIX_TABLE(0x14, kButton),           NORBIX_TABLE(0x19, kChipSet),          NORBIX_TABLE(0x1B, kCable),
    NORBIX_TABLE(0x1D, kBootInitiated),    NORBIX_TABLE(0x1E, kBootError),        NORBIX_TABLE(0x1F, kOsBoot),
    NORBIX_TABLE(0x20, kOsStop),           NORBIX_TABLE(0x21, kSlot),             NORBIX_TABLE(0x22, kAcpiSystemState),
    NORBIX_TABLE(0x23, kWatchdog2),        NORBIX_TABLE(0x24, kPlatformAlert),    NORBIX_TABLE(0x25, kEntityPresence),
    NORBIX_TABLE(0x27, kLan),              NORBIX_TABLE(0x28, kManagementHealth), NORBIX_TABLE(0x29, kBattery),
    NORBIX_TABLE(0x2A, kSessionAudit),     NORBIX_TABLE(0x2B, kVersionChange),    NORBIX_TABLE(0x2C, kFruState),
};

#undef NORBIX_TABLE

struct CodeText {
    uint8_t code;
    const char* text;
};

const CodeText kCompletionCodes[] = {
    {0x00, "Command completed normally"},
    {0xC0, "Node busy"},
    {0xC1, "Invalid command"},
    {0xC2, "Command invalid for given LUN"},
    {0xC3, "Timeout while processing command"},
    {0xC4, "Out of space"},
    {0xC5, "Reservation cancelled or invalid"},
    {0xC6, "Request data truncated"},
    {0xC7, "Request data length invalid"},
    {0xC8, "Request data field length limit exceeded"},
    {0xC9, "Parameter out of range"},
    {0xCA, "Cannot return number of requested data bytes"},
    {0xCB, "Requested sensor, data, or record not present"},
    {0xCC, "Invalid data field in request"},
    {0xCD, "Command illegal for specified sensor or record type"},
    {0xCE, "Command response could not be provided"},
    {0xCF, "Cannot execute duplicated request"},
    {0xD0, "SDR repository in update mode"},
    {0xD1, "Device in firmware update mode"},
    {0xD2, "BMC initialization in progress"},
    {0xD3, "Destination unavailable"},
    {0xD4, "Insufficient privilege level"},
    {0xD5, "Command not supported in present state"},
    {0xD6, "Command sub-function disabled or unavailable"},
    {0xFF, "Unspecified error"},
};

const EventText* find(const EventTable* tables, size_t count, uint8_t code, uint8_t offset) {
    for (size_t t = 0; t < count; ++t) {
        if (tables[t].code != code) continue;
        for (size_t i = 0; i < tables[t].count; ++i)
            if (tables[t].rows[i].offset == offset) return &tables[t].rows[i];
        return nullptr;
    }
    return nullptr;
}

}  // namespace

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Error: return "Error";
    case Severity::Warning: return "Warning";
    case Severity::Info: break;
    }
    return "Info";
}

const char* SensorTypeName(uint8_t sensorType) {
    return sensorType < sizeof(kSensorTypes) / sizeof(kSensorTypes[0]) ? kSensorTypes[sensorType] : nullptr;
}

const EventText* GenericEvent(uint8_t eventType, uint8_t offset) {
    return find(kGeneric, sizeof(kGeneric) / sizeof(kGeneric[0]), eventType, offset);
}

const EventText* SensorSpecificEvent(uint8_t sensorType, uint8_t offset) {
    return find(kSensorSpecific, sizeof(kSensorSpecific) / sizeof(kSensorSpecific[0]), sensorType, offset);
}

const char* CompletionCodeText(uint8_t code) {
    for (const CodeText& row : kCompletionCodes)
        if (row.code == code) return row.text;
    return nullptr;
}

}  // namespace ipmi
