#include <gtest/gtest.h>

#include "fake_tree.h"
#include "sensor_facts.h"

namespace {

std::string describe(const SensorFacts::Value& v) { return v.known ? std::to_string(v.value) : "-"; }

TEST(LinuxSensors, ReadingsAndThresholdsOfHwmon) {
    machinetest::FakeTree tree;
    const std::string chip = "/sys/class/hwmon/hwmon0/";
    tree.Write(chip + "name", "coretemp\n");
    tree.Write(chip + "temp1_input", "45500\n");
    tree.Write(chip + "temp1_label", "Package id 0\n");
    tree.Write(chip + "temp1_max", "80000\n");
    tree.Write(chip + "temp1_crit", "100000\n");
    tree.Write(chip + "temp2_input", "-5000\n");                  // below zero
    tree.Write(chip + "temp3_input", "hot\n");                    // no number
    tree.Write(chip + "temp4_input", "9999999999999999999999\n"); // beyond any reading
    tree.Write(chip + "tempx_input", "1\n");                      // not a numbered input
    tree.Write(chip + "fan1_input", "1200\n");
    tree.Write(chip + "fan1_min", "300\n");
    tree.Write(chip + "in0_input", "12150\n");
    tree.Write(chip + "in0_min", "10800\n");
    tree.Write(chip + "in0_max", "13200\n");
    tree.Write(chip + "power1_input", "1\n");                     // not a kind collected
    tree.Write("/sys/class/hwmon/hwmon1/temp1_input", "30000\n"); // a chip without a name
    Notes notes;
    std::vector<std::string> found;
    for (const SensorFacts& s : sensors::Readings(notes))
        found.push_back(s.device + "|" + s.name + "|" + s.type + "|" + s.units + "|" + describe(s.reading) + "|" +
                        describe(s.lowerCritical) + "|" + describe(s.upperNonCritical) + "|" +
                        describe(s.upperCritical));
    const std::vector<std::string> expected = {
        "coretemp|fan1|Fan|RPM|1200.000000|300.000000|-|-",
        "coretemp|in0|Voltage|Volts|12.150000|10.800000|-|13.200000",
        "coretemp|Package id 0|Temperature|Degrees C|45.500000|-|80.000000|100.000000",
        "coretemp|temp2|Temperature|Degrees C|-5.000000|-|-|-",
        "coretemp|temp3|Temperature|Degrees C|-|-|-|-",
        "coretemp|temp4|Temperature|Degrees C|-|-|-|-",
        "hwmon1|temp1|Temperature|Degrees C|30.000000|-|-|-",
    };
    EXPECT_EQ(expected, found);
    EXPECT_TRUE(notes.empty());
}

// The class holds links to the devices' folders: however many lead to one
// folder, its sensors are collected once; the total is capped.
TEST(LinuxSensors, OncePerRealDeviceAndCapped) {
    const struct {
        const char* what;
        int links;          // to the first chip's folder
        int chips;          // folders, each with its inputs
        int inputs;
        size_t sensors;
        Notes notes;
    } cases[] = {
        {"one folder, many links", 200, 1, 3, 3, {}},
        {"two folders, each linked twice", 2, 2, 2, 4, {}},
        {"more sensors than the cap", 1, 2, 2100, 4096, {"Only the first 4096 sensors collected"}},
    };
    for (const auto& c : cases) {
        machinetest::FakeTree tree;
        for (int chip = 0; chip < c.chips; ++chip) {
            const std::string dir = "/sys/devices/platform/chip" + std::to_string(chip) + "/hwmon/";
            for (int i = 1; i <= c.inputs; ++i) tree.Write(dir + "temp" + std::to_string(i) + "_input", "1000\n");
            for (int l = 0; l < (chip == 0 ? c.links : 2); ++l)
                tree.Link("/sys/class/hwmon/hwmon" + std::to_string(chip) + "-" + std::to_string(l),
                          "../../devices/platform/chip" + std::to_string(chip) + "/hwmon");
        }
        Notes notes;
        EXPECT_EQ(c.sensors, sensors::Readings(notes).size()) << c.what;
        EXPECT_EQ(c.notes, notes) << c.what;
    }
}

TEST(LinuxSensors, NoHwmonIsANote) {
    machinetest::FakeTree tree;
    Notes notes;
    EXPECT_TRUE(sensors::Readings(notes).empty());
    EXPECT_EQ(Notes{"No hwmon sensors on this system"}, notes);
}

}  // namespace
