// Temperatures, voltage faults, watchdog restarts, SMI errors and BIOS messages.
#include "tolm_decoder.h"
#include "tolm_text.h"

namespace {

// Temperature tables: an empty text is an empty name, which still takes its
// place in the list.
const char* const kSensorSmall[16] = {"Rsrvd", "CPU 1", "CPU 2", "DASD 1", "DASD 2", "DASD 3", "", "",
                                      "", "", "", "", "", "", "", ""};
const char* const kSensorBox3[16] = {"CPU 1", "CPU 2", "CPU 3", "CPU 4", "DASD 1", "DASD 2", "DASD 3",
                                     "DASD 4", "Ambient", "CPU Area", "PCI Area", "", "", "", "", ""};
const char* const kSensorOther[16] = {"Rsrvd", "CPU 1", "CPU 2", "DASD 1", "", "", "", "",
                                      "", "", "", "", "", "", "", ""};
const char* const kTripSmall[16] = {"Rsrvd", "CPU 1", "CPU 2", "DASD 1", "DASD 2", "DASD 3", "", ""};
const char* const kTripBox3[16] = {"CPU 1", "CPU 2", "CPU 3", "CPU 4", "CPU 1", "CPU 2", "CPU 3", "CPU 4"};
const char* const kTripOther[16] = {"CPU 1", "CPU 2", "Rsrvd", "Rsrvd", "CPU 1", "CPU 2", "Rsrvd", "Rsrvd"};

std::string temperatureNames(unsigned int mask, const char* const names[16]) {
    std::string text;
    bool first = true;
    for (int bit = 0; bit < 16; ++bit) {
        if (!(mask & (1u << bit))) continue;
        if (!first) text += ", ";
        text += names[bit] ? names[bit] : "";
        first = false;
    }
    return text;
}

}  // namespace

void decodeTemperatureEvent(const TolmReply& reply, SPLibrary& library, std::string* text) {
    const int box = tolmBoxId(library);
    unsigned int warning, shutdown, powerOff, trip;
    if (box == 3) {
        warning = reply.word(7), shutdown = reply.word(9), powerOff = reply.word(11), trip = reply.byte(13);
    } else {
        warning = reply.byte(7), shutdown = reply.byte(8), powerOff = reply.byte(9), trip = reply.byte(10);
    }
    const char* const* sensors = box == 1 || box == 2 ? kSensorSmall : box == 3 ? kSensorBox3 : kSensorOther;
    const char* const* trips = box == 1 || box == 2 ? kTripSmall : box == 3 ? kTripBox3 : kTripOther;
    if (trip) {
        *text += "Over temperature: " + temperatureNames(trip, trips) + " thermal trip";
    } else if (powerOff) {
        *text += "Over temperature: " + temperatureNames(powerOff, sensors) + ". Server is powering off now";
    } else if (shutdown) {
        *text += "Over temperature: " + temperatureNames(shutdown, sensors) +
                 ". Shutting down O/S and powering off server";
    } else if (warning) {
        *text += "Over temperature: " + temperatureNames(warning, sensors) + ". Warning threshold reached";
    } else {
        *text += "System temperatures operating in normal range";
    }
}

void decodeVoltageEvent(const TolmReply& reply, SPLibrary& library, std::string* text) {
    // "OverSpec" and "Overspec" are two different texts.
    static const char* const kBox1[8] = {"12V A", "5V A", "12V B", nullptr,
                                         nullptr, nullptr, "Non-Redundant", "Overspec"};
    static const char* const kBox2[8] = {"240V-Amps", nullptr, nullptr, nullptr,
                                         nullptr, nullptr, "Non-Redundant", "Overspec"};
    static const char* const kBox456[8] = {"Emergency Power", "OverSpec", nullptr, nullptr,
                                           nullptr, nullptr, nullptr, "Non-Redundant"};
    static const char* const kOther[8] = {"Emergency Power", "5V A", "12V A", "12V B",
                                          "12V C", "12V D", "12V E", "Non-Redundant"};
    const unsigned int flags = reply.byte(7);
    const int box = tolmBoxId(library);
    if (flags == 0) {
        *text += "No voltage faults reported";
        return;
    }
    const char* const* names = box == 1 ? kBox1 : box == 2 ? kBox2 : box >= 4 && box <= 6 ? kBox456 : kOther;
    *text += "Voltage fault: " + nameList(flags, names);
}

void decodeWatchdogEvent(const TolmReply& reply, SPLibrary&, std::string* text) {
    switch (reply.byte(7)) {
    case 0: *text += "Server restarted:  POST watchdog timed out"; break;
    case 1: *text += "Server restarted:  O/S watchdog timed out"; break;
    default: *text += "Server restarted:  Unknown Watchdog Triggered."; break;
    }
}

void decodeSmiEvent(const TolmReply& reply, SPLibrary& library, std::string* text) {
    static const char* const kBox3[8] = {"CPU 1 i-error", "CPU 2 i-error", "CPU 3 i-error", "CPU 4 i-error",
                                         "PCI 0 error", "PCI 1 error", "PCI 2 error", nullptr};
    static const char* const kBox456[8] = {"SMI CPU 1 Ierror", "SMI CPU 2 Ierror", nullptr, nullptr,
                                           nullptr, nullptr,
                                           "Invalid configuration of microprocessors or VRMs", "SMI RTC Update"};
    static const char* const kOther[8] = {"s-error", "p-error", "CPU 1 error", "CPU 2 error",
                                          nullptr, nullptr, nullptr, nullptr};
    const int box = tolmBoxId(library);
    const bool box456 = box >= 4 && box <= 6;
    if (!box456) *text += "SMI ";
    *text += nameList(reply.byte(7), box == 3 ? kBox3 : box456 ? kBox456 : kOther);
}

void decodeBiosEvent(const TolmReply& reply, SPLibrary&, std::string* text) {
    if (reply.byte(7) == 0xFF) {
        *text += "Invalid log entry.";
        return;
    }
    *text += "BIOS message: ";
    for (int offset = 7; offset <= reply.length() - 2 && reply.byte(offset) != 0; ++offset)
        *text += static_cast<char>(reply.byte(offset));
}
