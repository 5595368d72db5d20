#ifndef MACHINE_INSTANCE_BUILDER_H
#define MACHINE_INSTANCE_BUILDER_H

#include <cstdint>
#include <memory>
#include <string>

#include "wyxcore/container.h"

// One new instance of a class of the container, handed to the class by Commit
// and dropped when the builder goes out of scope without it. Values that could
// not be read stay absent rather than empty or zero.
class InstanceBuilder {
public:
    // Throws TWYXException (kWyxUnknownClass) when the container lacks the class.
    InstanceBuilder(TContainer& container, const char* className);
    InstanceBuilder(const InstanceBuilder&) = delete;
    InstanceBuilder& operator=(const InstanceBuilder&) = delete;

    // Set when not empty; the bytes as read.
    InstanceBuilder& Text(const char* name, const std::string& value);
    // Set when known, as the property's declared number type.
    InstanceBuilder& Number(const char* name, uint64_t value, bool known = true);
    InstanceBuilder& Value(const char* name, const TCIMValue& value);
    void Commit();

private:
    std::unique_ptr<TCIMInstance> instance_;
};

#endif
