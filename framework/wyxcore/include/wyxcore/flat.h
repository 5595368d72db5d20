#ifndef WYXCORE_FLAT_H
#define WYXCORE_FLAT_H

#include <stdint.h>

#include "wyxcore/export.h"

// The framework's flat entry points, for plug-ins written against the C
// interface. They return kWyxFailure (3) on failure and 0 on success, except
// wyxTranslateStatusCode.

extern "C" {

// Information record of a flat plug-in, returned by value by its information
// callback: five pointer-sized fields.
typedef struct WyxPluginInfo {
    const char* name;
    const char* version;
    const char* frameworkVersion;
    void* reserved1;
    void* reserved2;
} WyxPluginInfo;

typedef int (*WyxNoopCallback)(void);
// plugin: the plug-in handle; container: the container handle; classNames: count
// zero-terminated names of the classes wanted.
typedef int (*WyxDataCallback)(void* plugin, void* container, const char** classNames, int count);
typedef WyxPluginInfo (*WyxInfoCallback)(void);

// Registration record: six 32-bit fields on the 32-bit target.
typedef struct WyxPluginRecord {
    uint32_t size;                // kWyxPluginRecordSize
    WyxNoopCallback first;
    WyxNoopCallback second;
    WyxDataCallback data;
    WyxInfoCallback info;
    void* sixth;
} WyxPluginRecord;

enum { kWyxPluginRecordSize = 24 };

// Called from a flat plug-in's load entry while the framework loads it. Returns
// 0 and fills *handle on success.
WYX_FLAT int wyxRegisterPlugin(const WyxPluginRecord* record, void** handle);
// plugin may be null (the entry then has no source).
WYX_FLAT int wyxWriteLog(void* plugin, int type, const char* text);
// *path receives the full path of the plug-in's library file; it stays valid
// for the plug-in's lifetime.
WYX_FLAT int wyxGetPluginPath(void* plugin, const char** path);
// Begins a new instance of the class; it becomes the handle's current instance.
WYX_FLAT int wyxAddClass(void* container, const char* className);
WYX_FLAT int wyxAddProperty(void* container, const char* name, const char* value);
WYX_FLAT int wyxAddDateTimeProperty(void* container, const char* name, void* dateTime);
WYX_FLAT int wyxNewCIMDateTime(void** dateTime);
WYX_FLAT int wyxSetDateTime(void* dateTime, int year, int month, int day, int hour,
                            int minute, int second, int microseconds, int utcOffset);
WYX_FLAT int wyxDeleteCIMDateTime(void* dateTime);
WYX_FLAT int wyxNewCIMValueArray(void** valueArray);
WYX_FLAT int wyxDeleteCIMValueArray(void* valueArray);
// Progress of a long step for the live console line: what names the step and
// its unit ("entries read"), total is 0 when not known. Cheap enough to call
// for every entry; plugin may be null.
WYX_FLAT int wyxReportProgress(void* plugin, const char* what, uint32_t done, uint32_t total);
// Never null; the text stays valid until the next call on the same thread.
WYX_FLAT const char* wyxTranslateStatusCode(int status);

}

#endif
