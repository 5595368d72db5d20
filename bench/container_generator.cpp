#include "container_generator.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "wyxcore/container.h"

namespace bench {

namespace {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33);
    }
    uint32_t below(uint32_t n) { return next() % n; }

private:
    uint64_t state_;
};

const char* const kWords[] = {"fan",     "power",  "supply", "voltage", "sensor", "restart", "DIMM",
                              "slot",    "failed", "normal", "restored", "over",  "limit",   "PCI",
                              "<bus>",   "A&B",    "caf\xE9", "\"quoted\"", "tab\there", "cr\r\nlf"};

std::string sentence(Random* random, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i) text += ' ';
        text += kWords[random->below(sizeof kWords / sizeof kWords[0])];
    }
    if (random->below(50) == 0) text += '\x07';   // a control byte now and then
    return text;
}

std::string number(uint64_t value) { return std::to_string(value); }

std::string dateTime(Random* random) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u.%06u%c%03u", 2020 + random->below(7),
                  1 + random->below(12), 1 + random->below(28), random->below(24), random->below(60),
                  random->below(60), random->below(1000000), random->below(2) ? '+' : '-', random->below(13) * 60);
    return text;
}

void set(TCIMInstance* instance, const char* name, TCIMType type, const std::string& text) {
    instance->SetPropertyValue(name, TCIMValue::FromText(type, text));
}

struct Declared {
    const char* name;
    TCIMType type;
};

TCIMClass* declare(TContainer* container, const char* name, const Declared* props, size_t count) {
    TCIMClass* cimClass = container->AddClass(name);
    for (size_t i = 0; i < count; ++i) cimClass->DeclareProperty(props[i].name, props[i].type);
    return cimClass;
}

const Declared kEventProps[] = {{"CreationClassName", kCIMString}, {"RecordID", kCIMUInt32},
                                {"Severity", kCIMUInt8},          {"EventID", kCIMUInt16},
                                {"LoggingSource", kCIMString},    {"Message", kCIMString},
                                {"MessageTimestamp", kCIMDateTime}, {"Sequence", kCIMUInt64}};
const Declared kSensorProps[] = {{"CreationClassName", kCIMString}, {"Name", kCIMString},
                                 {"Reading", kCIMReal64},          {"LowerThreshold", kCIMSInt16},
                                 {"UpperThreshold", kCIMSInt32},   {"Healthy", kCIMBoolean},
                                 {"Unit", kCIMChar16},             {"Drift", kCIMReal32}};
const Declared kComponentProps[] = {{"CreationClassName", kCIMString}, {"Name", kCIMString},
                                    {"Version", kCIMString},          {"SerialNumber", kCIMString},
                                    {"InstallDate", kCIMDateTime},    {"Size", kCIMUInt64},
                                    {"Offset", kCIMSInt64},           {"Level", kCIMSInt8},
                                    {"Flags", kCIMUInt16}};

void addLogEntry(TCIMClass* events, size_t i, Random* random) {
    TCIMInstance* instance = new TCIMInstance(events);
    set(instance, "CreationClassName", kCIMString, "Bench_EventLogEntry");
    set(instance, "RecordID", kCIMUInt32, number(i + 1));
    set(instance, "Severity", kCIMUInt8, number(random->below(4)));
    set(instance, "EventID", kCIMUInt16, number(random->below(65536)));
    set(instance, "LoggingSource", kCIMString, random->below(2) ? "SP Node 1" : "BIOS");
    set(instance, "Message", kCIMString, sentence(random, 4 + random->below(12)));
    set(instance, "MessageTimestamp", kCIMDateTime, dateTime(random));
    set(instance, "Sequence", kCIMUInt64, number((uint64_t(random->next()) << 32) | random->next()));
    instance->Commit();
}

}  // namespace

void FillLogEntries(TContainer* container, size_t count) {
    Random random(20261209);
    TCIMClass* events = declare(container, "Bench_EventLogEntry", kEventProps, sizeof kEventProps / sizeof kEventProps[0]);
    for (size_t i = 0; i < count; ++i) addLogEntry(events, i, &random);
}

void FillContainer(TContainer* container, size_t count) {
    Random random(20261208);
    TCIMClass* events = declare(container, "Bench_EventLogEntry", kEventProps, sizeof kEventProps / sizeof kEventProps[0]);
    TCIMClass* sensors = declare(container, "Bench_Sensor", kSensorProps, sizeof kSensorProps / sizeof kSensorProps[0]);
    TCIMClass* parts = declare(container, "Bench_Component", kComponentProps,
                               sizeof kComponentProps / sizeof kComponentProps[0]);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t kind = random.below(10);
        if (kind < 6) {
            addLogEntry(events, i, &random);
        } else if (kind < 8) {
            TCIMInstance* instance = new TCIMInstance(sensors);
            set(instance, "CreationClassName", kCIMString, "Bench_Sensor");
            set(instance, "Name", kCIMString, "Sensor " + number(i % 97) + " " + sentence(&random, 1));
            set(instance, "Reading", kCIMReal64, number(random.below(200)) + "." + number(random.below(1000)));
            set(instance, "LowerThreshold", kCIMSInt16, "-" + number(random.below(32768)));
            set(instance, "UpperThreshold", kCIMSInt32, number(random.below(2000000000)));
            set(instance, "Healthy", kCIMBoolean, random.below(8) ? "true" : "false");
            set(instance, "Unit", kCIMChar16, random.below(2) ? "C" : "V");
            set(instance, "Drift", kCIMReal32, "1.5e-" + number(random.below(9)));
            instance->Commit();
        } else {
            TCIMInstance* instance = new TCIMInstance(parts);
            set(instance, "CreationClassName", kCIMString, "Bench_Component");
            set(instance, "Name", kCIMString, sentence(&random, 2));
            set(instance, "Version", kCIMString, number(random.below(10)) + "." + number(random.below(100)) + "." +
                                                     number(random.below(1000)));
            set(instance, "SerialNumber", kCIMString, "SN" + number(random.next()));
            set(instance, "InstallDate", kCIMDateTime, dateTime(&random));
            set(instance, "Size", kCIMUInt64, number(uint64_t(random.next()) * 4096));
            set(instance, "Offset", kCIMSInt64, "-" + number(random.next()));
            set(instance, "Level", kCIMSInt8, number(random.below(128)));
            set(instance, "Flags", kCIMUInt16, number(random.below(65536)));
            instance->Commit();
        }
    }
}

}  // namespace bench
