#include "tolm_decoder.h"

std::string decodeTolmEvent(const TolmReply& reply, SPLibrary& library) {
    std::string text;
    switch (reply.byte(6)) {
    case 0xA2: decodeFanEvent(reply, library, &text); break;
    case 0xA3: decodePowerSupplyEvent(reply, library, &text); break;
    case 0xA4: decodeTemperatureEvent(reply, library, &text); break;
    case 0xA5: decodeDasdEvent(reply, library, &text); break;
    case 0xA6: decodeVrmEvent(reply, library, &text); break;
    case 0xA7: decodeVoltageEvent(reply, library, &text); break;
    case 0xAD: decodeWatchdogEvent(reply, library, &text); break;
    case 0xAE: decodeSmiEvent(reply, library, &text); break;
    case 0xE1: decodeBiosEvent(reply, library, &text); break;
    default: break;
    }
    return text;
}
