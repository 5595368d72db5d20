// Disk health from smartctl, each run bounded in time and output.
#include "smartctl_disks.h"

#include <algorithm>
#include <chrono>

#include "smartctl_json.h"

namespace health {

namespace {

// A run's end that leaves no output worth decoding, as a problem; empty when
// it exited.
std::string failure(const TChildRun& run, const std::string& what, unsigned timeoutMillis) {
    switch (run.outcome) {
    case TChildRun::kExited: return std::string();
    case TChildRun::kSignalled: return what + " ended abnormally (" + std::to_string(run.signal) + ")";
    case TChildRun::kTimedOut:
        return what + " did not finish within " + std::to_string(timeoutMillis / 1000) + " s and was stopped";
    case TChildRun::kOverflowed:
        return what + " printed more than " + std::to_string(kSmartctlOutputLimit) + " bytes and was stopped";
    case TChildRun::kNotStarted: break;
    }
    return what + " could not be started: " + run.error;
}

std::string deviceIdOf(const SmartctlDevice& device) {
    // Disks behind a RAID controller share one name; the type tells them apart.
    return device.type.find(',') == std::string::npos ? device.name : device.name + " [" + device.type + "]";
}

}  // namespace

bool ReadSmartctl(const std::string& program, HealthFacts& facts, ChildRunner run, unsigned budgetMillis) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMillis);
    const unsigned scanTimeout = std::min(budgetMillis, kSmartctlRunMillis);
    const TChildRun scan = run(program, {"--scan-open", "--json"}, scanTimeout, kSmartctlOutputLimit);
    if (scan.outcome == TChildRun::kNotStarted) {
        facts.notes.push_back("smartctl not found (" + scan.error + "): disk health not read through it");
        return false;
    }
    const std::string scanFailure = failure(scan, "smartctl --scan-open", scanTimeout);
    if (!scanFailure.empty()) {
        facts.problems.push_back(scanFailure);
        return true;
    }
    std::vector<SmartctlDevice> devices;
    std::vector<std::string> scanNotes;
    if (!DecodeSmartctlScan(scan.output, &devices, scanNotes)) {
        facts.problems.insert(facts.problems.end(), scanNotes.begin(), scanNotes.end());
        return true;
    }
    facts.notes.insert(facts.notes.end(), scanNotes.begin(), scanNotes.end());
    if (devices.empty()) facts.notes.push_back("smartctl found no disks");
    size_t read = 0;
    for (const SmartctlDevice& device : devices) {
        const std::string id = deviceIdOf(device);
        if (read == kSmartctlDiskLimit) {
            facts.notes.push_back("Only the first " + std::to_string(kSmartctlDiskLimit) + " disks read by smartctl");
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            facts.problems.push_back("smartctl: no time left to read " + id + " and the disks after it");
            break;
        }
        ++read;
        const unsigned timeout = static_cast<unsigned>(std::min<long long>(left.count(), kSmartctlRunMillis));
        std::vector<std::string> arguments = {"-x", "--json"};
        if (!device.type.empty()) arguments.insert(arguments.end(), {"-d", device.type});
        arguments.push_back(device.name);
        const TChildRun one = run(program, arguments, timeout, kSmartctlOutputLimit);
        const std::string oneFailure = failure(one, "smartctl -x " + id, timeout);
        if (!oneFailure.empty()) {
            facts.problems.push_back(oneFailure);
            continue;
        }
        const unsigned status = static_cast<unsigned>(one.exitStatus) & 0xFF;
        if (status & kSmartctlCommandLine) {
            facts.problems.push_back("smartctl refused its command line for " + id);
            continue;
        }
        if (status & kSmartctlOpenFailed) {
            facts.notes.push_back(id + " cannot be opened by smartctl (permission, virtual disk or RAID volume)");
            continue;
        }
        DiskHealthFacts disk;
        disk.deviceId = id;
        std::vector<std::string> notes;
        if (!DecodeSmartctlDevice(one.output, disk, notes)) {
            facts.problems.insert(facts.problems.end(), notes.begin(), notes.end());
            continue;
        }
        facts.notes.insert(facts.notes.end(), notes.begin(), notes.end());
        // The status the process ended with is the one that counts.
        disk.toolStatusKnown = true;
        disk.toolStatus = status;
        if ((status & kSmartctlDiskFailing) && disk.assessment != "Failed") disk.assessment = "Failed";
        facts.disks.push_back(disk);
    }
    return true;
}

}  // namespace health
