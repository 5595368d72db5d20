#ifndef QUARNEL_TOLM_DECODER_H
#define QUARNEL_TOLM_DECODER_H

#include <string>

#include "tolm_reply.h"

class SPLibrary;

// The readable text of one TRAV entry, chosen by its event type (byte 6); empty
// for an event type without a decoder. Asks the driver for the box ID only
// when the event's layout depends on it.
std::string decodeTolmEvent(const TolmReply& reply, SPLibrary& library);

// Component status (fans, power supplies, DASD backplanes, VRMs).
void decodeFanEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodePowerSupplyEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodeDasdEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodeVrmEvent(const TolmReply& reply, SPLibrary& library, std::string* text);

// Thresholds and system messages.
void decodeTemperatureEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodeVoltageEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodeWatchdogEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodeSmiEvent(const TolmReply& reply, SPLibrary& library, std::string* text);
void decodeBiosEvent(const TolmReply& reply, SPLibrary& library, std::string* text);

#endif
