#ifndef SEL_IPMI_TABLES_H
#define SEL_IPMI_TABLES_H

#include <cstdint>

// The IPMI tables the decoder reads: sensor types, the generic and the
// sensor-specific event offsets, and completion codes. Data only; a code the
// tables lack gives null and the caller says so.
namespace ipmi {

enum class Severity { Info, Warning, Error };

const char* SeverityName(Severity severity);   // "Info", "Warning", "Error"

struct EventText {
    uint8_t offset;
    const char* text;
    Severity asserted;   // what the event means when asserted; a deassertion is Info
};

// "Temperature" for 0x01; null for a reserved or OEM type.
const char* SensorTypeName(uint8_t sensorType);

// The text of an offset of a generic event/reading type (0x01 threshold to
// 0x0C); null when the type or the offset has none.
const EventText* GenericEvent(uint8_t eventType, uint8_t offset);
// The text of an offset of a sensor-specific event (event/reading type 0x6F).
const EventText* SensorSpecificEvent(uint8_t sensorType, uint8_t offset);

// "Reservation cancelled or invalid" for 0xC5; null for a code the standard lacks.
const char* CompletionCodeText(uint8_t code);

}  // namespace ipmi

#endif
