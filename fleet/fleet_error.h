#ifndef NORBIX_FLEET_FLEET_ERROR_H
#define NORBIX_FLEET_FLEET_ERROR_H

#include <stdexcept>
#include <string>

// Exit statuses of norbix-fleet.
enum FleetStatus { kFleetDone = 0, kFleetFailed = 1, kFleetUsage = 2 };

// A command that cannot be done: the message says what and, where a file is
// to blame, names it.
class FleetError : public std::runtime_error {
public:
    explicit FleetError(const std::string& message, FleetStatus status = kFleetFailed)
        : std::runtime_error(message), status_(status) {}
    FleetStatus status() const { return status_; }

private:
    FleetStatus status_;
};

#endif
