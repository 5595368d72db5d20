#include "ulk_test_support.h"

Bytes UlkEntry::bytes() const {
    Bytes b = {static_cast<unsigned char>(severity), static_cast<unsigned char>(year),
               static_cast<unsigned char>(month),    static_cast<unsigned char>(day),
               static_cast<unsigned char>(weekday),  static_cast<unsigned char>(hour),
               static_cast<unsigned char>(minute),   static_cast<unsigned char>(second),
               static_cast<unsigned char>(eventId),  static_cast<unsigned char>(eventId >> 8)};
    std::string rest = source;
    rest.resize(16, '\0');
    rest += message;
    rest.push_back('\0');
    for (char c : rest) b.push_back(static_cast<unsigned char>(c));
    return b;
}

Bytes clockBytes(int year, int month, int day, int hour, int minute, int second) {
    return Bytes{static_cast<unsigned char>(year - 2000), static_cast<unsigned char>(month),
                 static_cast<unsigned char>(day),         0x07,
                 static_cast<unsigned char>(hour),        static_cast<unsigned char>(minute),
                 static_cast<unsigned char>(second)};
}
