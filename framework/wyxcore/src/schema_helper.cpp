#include "wyxcore/schema_helper.h"

#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

const char* const kComputerSystem = "VARNSG_ComputerSystem";

// A non-empty text property of the first computer-system instance.
std::string identity(TContainer* container, const char* property) {
    if (!container) throw TWYXException(kWyxInvalidArgument, "no container");
    const TCIMClass* cimClass = container->FindClass(kComputerSystem);
    if (!cimClass) throw TWYXException(kWyxNoSystemIdentity, std::string(kComputerSystem) + " not declared");
    const std::vector<TCIMInstance*> instances = cimClass->EnumerateInstances(true);
    if (instances.empty()) throw TWYXException(kWyxNoSystemIdentity, std::string(kComputerSystem) + " not collected");
    const TCIMValue* value = instances.front()->GetPropertyValue(property);
    if (!value || value->GetText().empty()) throw TWYXException(kWyxNoSystemIdentity, property);
    return value->GetText();
}

}  // namespace

std::string TCIMSchemaHelper::GetSystemCreationClassName(TContainer* container) {
    return identity(container, "CreationClassName");
}

std::string TCIMSchemaHelper::GetMTM(TContainer* container) { return identity(container, "Model"); }

std::string TCIMSchemaHelper::GetSerialNumber(TContainer* container) { return identity(container, "SerialNumber"); }
