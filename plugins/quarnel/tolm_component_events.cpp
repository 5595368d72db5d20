// Fans, power supplies, DASD backplanes and VRMs.
#include "tolm_decoder.h"
#include "tolm_text.h"

void decodeFanEvent(const TolmReply& reply, SPLibrary& library, std::string* text) {
    const int box = tolmBoxId(library);
    unsigned int expected, present, failed;
    if (box == 1 || box == 2) {
        expected = reply.byte(7), present = reply.byte(8), failed = reply.byte(9);
    } else if (box >= 4 && box <= 6) {
        expected = reply.byte(8), present = reply.byte(9), failed = reply.byte(10);
    } else {
        expected = reply.word(9), present = reply.word(11), failed = reply.word(13);
    }
    std::vector<int> missing, failing;
    int fan = 0;
    for (int bit = 0; bit < 16; ++bit) {
        const unsigned int mask = 1u << bit;
        if (!(expected & mask)) continue;
        ++fan;   // fans are numbered by counting the expected bits
        if (!(present & mask)) missing.push_back(fan);
        if (failed & mask) failing.push_back(fan);
    }
    if (missing.empty() && failing.empty()) {
        *text += "All fans present and functioning.";
        return;
    }
    if (!missing.empty())
        *text += std::string(countWord(missing, "Fan ", "Fans ")) + numberList(missing) + " missing. ";
    if (!failing.empty())
        *text += std::string(countWord(failing, "Fan ", "Fans ")) + numberList(failing) + " failed.";
}

void decodePowerSupplyEvent(const TolmReply& reply, SPLibrary& library, std::string* text) {
    const int box = tolmBoxId(library);
    const unsigned int expected = reply.byte(7), present = reply.byte(8), acRemoved = reply.byte(10);
    unsigned int good = reply.byte(9);
    if (box >= 4 && box <= 6) {
        // A present supply without AC input is not a fault.
        for (int bit = 0; bit < 2; ++bit) {
            const unsigned int mask = 1u << bit;
            if ((present & mask) && !(good & mask) && (acRemoved & mask)) good |= mask;
        }
    }
    std::vector<int> missing, fault, ac;
    for (int bit = 0; bit < 8; ++bit) {
        const unsigned int mask = 1u << bit;
        if (!(expected & mask)) continue;
        if (!(present & mask)) missing.push_back(bit + 1);
        if (!(good & mask) && box != 2) fault.push_back(bit + 1);
        if (acRemoved & mask) ac.push_back(bit + 1);
    }
    if (missing.empty() && fault.empty() && ac.empty()) {
        *text += "All power supplies present and functioning.";
        return;
    }
    const char* one = "Power supply ";
    const char* many = "Power supplies ";
    if (!missing.empty()) *text += std::string(countWord(missing, one, many)) + numberList(missing) + " missing. ";
    if (!fault.empty()) *text += std::string(countWord(fault, one, many)) + numberList(fault) + " Fault. ";
    if (!ac.empty())
        *text += std::string(countWord(ac, one, many)) + numberList(ac) + countWord(ac, " has", " have") +
                 " AC Power Removed.";
}

void decodeDasdEvent(const TolmReply& reply, SPLibrary&, std::string* text) {
    const unsigned int expected = reply.byte(7) | (reply.byte(10) << 8);
    const unsigned int present = reply.byte(8) | (reply.byte(11) << 8);
    const unsigned int failed = reply.byte(9) | (reply.byte(12) << 8);
    if (present == expected && failed == 0) {
        *text += "All DASD backplanes and devices present and functioning.";
        return;
    }
    std::vector<int> missing[2], failing[2];
    for (int bit = 0; bit < 16; ++bit) {
        const unsigned int mask = 1u << bit;
        if (!(expected & mask)) continue;
        const int backplane = bit < 8 ? 0 : 1;
        const int device = bit < 8 ? bit : bit + 4;
        if (!(present & mask)) missing[backplane].push_back(device);
        if (failed & mask) failing[backplane].push_back(device);
    }
    const char* endings[2] = {" missing. ", " failed."};
    std::vector<int>* lists[2] = {missing, failing};
    for (int kind = 0; kind < 2; ++kind) {
        for (int backplane = 0; backplane < 2; ++backplane) {
            const std::vector<int>& devices = lists[kind][backplane];
            if (devices.empty()) continue;
            *text += "DASD backplane " + std::to_string(backplane + 1) + ": " +
                     countWord(devices, "device ", "devices ") + numberList(devices) + endings[kind];
        }
    }
}

void decodeVrmEvent(const TolmReply& reply, SPLibrary& library, std::string* text) {
    static const char* const kSmallBoxes[8] = {"CPU 1", "CPU 2", "CPU 3", "CPU 4", "Planar", "Memory",
                                               nullptr, nullptr};
    static const char* const kOtherBoxes[8] = {"VRM 1", "VRM 2", "VRM 3", nullptr,
                                               nullptr, nullptr, nullptr, nullptr};
    const unsigned int voltage = reply.byte(7), vrms = reply.byte(8);
    if (voltage == 0 && vrms == 0) {
        *text += "All system board voltages within normal ranges. ";
        *text += "All VRMs present and functioning.";
        return;
    }
    if (voltage != 0) *text += "System board voltages not in normal range. ";
    if (vrms == 0) return;
    const int box = tolmBoxId(library);
    if (box >= 1 && box <= 3) {
        const bool single = (vrms & (vrms - 1)) == 0;
        *text += single ? "VRM on " : "VRMs on ";
        *text += nameList(vrms, kSmallBoxes);
    } else {
        *text += nameList(vrms, kOtherBoxes);
    }
    *text += " failed";
}
