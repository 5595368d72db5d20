#include "quarnel_plugin.h"

namespace {

// Filled by the framework; every later call uses the handle it passes in.
void* pluginHandle = nullptr;

const char kName[] = "quarnel";
const char kVersion[] = "1.0";

}  // namespace

int QuarnelNoop() { return 0; }

WyxPluginInfo QuarnelGetInfo() {
    WyxPluginInfo info = {kName, kVersion, kVersion, nullptr, nullptr};
    return info;
}

bool registerQuarnel() {
    WyxPluginRecord record;
    record.size = kWyxPluginRecordSize;
    record.first = QuarnelNoop;
    record.second = QuarnelNoop;
    record.data = QuarnelGetData;
    record.info = QuarnelGetInfo;
    record.sixth = nullptr;
    if (wyxRegisterPlugin(&record, &pluginHandle) != 0) {
        wyxWriteLog(nullptr, 0, "Couldn't register plugin!");
        return false;
    }
    return true;
}
