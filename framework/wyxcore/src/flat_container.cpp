// Flat entry points that build instances and date-times for flat plug-ins.
// Each refuses a bad handle, an undeclared class or property and a value that
// does not fit its property with 3, and changes nothing then.
#include <memory>
#include <vector>

#include "container_handle.h"
#include "flat_guard.h"
#include "handle_registry.h"
#include "query_deadline.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/status.h"

namespace {

// Never destroyed: plug-ins may call in during static destruction.
HandleRegistry& containerHandles() {
    static HandleRegistry* registry = new HandleRegistry();
    return *registry;
}
HandleRegistry& dateTimes() {
    static HandleRegistry* registry = new HandleRegistry();
    return *registry;
}
HandleRegistry& valueArrays() {
    static HandleRegistry* registry = new HandleRegistry();
    return *registry;
}

using ValueArray = std::vector<TCIMValue>;

// The current instance's declared property, or null.
const TCIMPropertyDecl* currentProperty(void* container, const char* name, TCIMInstance** instance) {
    TContainerHandle* handle = TContainerHandle::FromHandle(container);
    if (!handle || !handle->current || !name) return nullptr;
    *instance = handle->current;
    return handle->current->GetClass()->FindProperty(name);
}

}  // namespace

TContainerHandle::TContainerHandle(TContainer* c) : container(c), current(nullptr) { containerHandles().add(this); }
TContainerHandle::~TContainerHandle() { containerHandles().remove(this); }

// An abandoned query's handles are refused like stale ones.
TContainerHandle* TContainerHandle::FromHandle(void* handle) {
    if (!query_deadline::CallerMayWrite()) return nullptr;
    return containerHandles().contains(handle) ? static_cast<TContainerHandle*>(handle) : nullptr;
}

extern "C" int wyxAddClass(void* container, const char* className) {
    return GuardFlat([&] {
        TContainerHandle* handle = TContainerHandle::FromHandle(container);
        if (!handle || !className) return kWyxFailure;
        TCIMClass* cimClass = handle->container->FindClass(className);
        if (!cimClass) return kWyxFailure;
        TCIMInstance* instance = new TCIMInstance(cimClass);
        instance->Commit();
        handle->current = instance;
        return kWyxOK;
    });
}

extern "C" int wyxAddProperty(void* container, const char* name, const char* value) {
    return GuardFlat([&] {
        TCIMInstance* instance = nullptr;
        const TCIMPropertyDecl* decl = currentProperty(container, name, &instance);
        if (!decl || !value) return kWyxFailure;
        instance->SetPropertyValue(name, TCIMValue::FromText(decl->type, value));
        return kWyxOK;
    });
}

extern "C" int wyxAddDateTimeProperty(void* container, const char* name, void* dateTime) {
    return GuardFlat([&] {
        TCIMInstance* instance = nullptr;
        const TCIMPropertyDecl* decl = currentProperty(container, name, &instance);
        if (!decl || decl->type != kCIMDateTime || !dateTimes().contains(dateTime)) return kWyxFailure;
        const TCIMDateTime& value = *static_cast<TCIMDateTime*>(dateTime);
        if (!value.IsInterval() && value.GetMonth() == 0) return kWyxFailure;   // never set
        instance->SetPropertyValue(name, TCIMValue(value));
        return kWyxOK;
    });
}

extern "C" int wyxNewCIMDateTime(void** dateTime) {
    return GuardFlat([&] {
        if (!dateTime) return kWyxFailure;
        auto made = std::make_unique<TCIMDateTime>();
        dateTimes().add(made.get());
        *dateTime = made.release();
        return kWyxOK;
    });
}

extern "C" int wyxSetDateTime(void* dateTime, int year, int month, int day, int hour, int minute, int second,
                              int microseconds, int utcOffset) {
    return GuardFlat([&] {
        if (!dateTimes().contains(dateTime)) return kWyxFailure;
        static_cast<TCIMDateTime*>(dateTime)->Set(year, month, day, hour, minute, second, microseconds, utcOffset);
        return kWyxOK;
    });
}

extern "C" int wyxDeleteCIMDateTime(void* dateTime) {
    return GuardFlat([&] {
        if (!dateTimes().remove(dateTime)) return kWyxFailure;
        delete static_cast<TCIMDateTime*>(dateTime);
        return kWyxOK;
    });
}

extern "C" int wyxNewCIMValueArray(void** valueArray) {
    return GuardFlat([&] {
        if (!valueArray) return kWyxFailure;
        auto made = std::make_unique<ValueArray>();
        valueArrays().add(made.get());
        *valueArray = made.release();
        return kWyxOK;
    });
}

extern "C" int wyxDeleteCIMValueArray(void* valueArray) {
    return GuardFlat([&] {
        if (!valueArrays().remove(valueArray)) return kWyxFailure;
        delete static_cast<ValueArray*>(valueArray);
        return kWyxOK;
    });
}
