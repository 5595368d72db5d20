#include "fake_framework.h"

#include <cstdio>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

struct FakeDateTime {
    bool set = false;
    int year, month, day, hour, minute, second, micro, offset;
};

}  // namespace

FakeFramework& fake() {
    static FakeFramework instance;
    return instance;
}

bool FakeInstance::has(const std::string& name) const {
    for (const FakeProperty& p : properties)
        if (p.name == name) return true;
    return false;
}

std::string FakeInstance::get(const std::string& name) const {
    for (const FakeProperty& p : properties)
        if (p.name == name) return p.value;
    return "";
}

std::vector<std::string> FakeInstance::names() const {
    std::vector<std::string> result;
    for (const FakeProperty& p : properties) result.push_back(p.name);
    return result;
}

void FakeFramework::reset() { *this = FakeFramework(); }

void FakeFramework::inject(const std::string& key, int occurrence, Injection how) {
    rules_.insert(std::make_pair(key, Rule{occurrence, occurrence, how}));
}

void FakeFramework::injectFrom(const std::string& key, int occurrence, Injection how) {
    rules_.insert(std::make_pair(key, Rule{occurrence, 1 << 30, how}));
}

std::vector<std::string> FakeFramework::texts(int type) const {
    std::vector<std::string> result;
    for (const FakeLogLine& line : log)
        if (type < 0 || line.type == type) result.push_back(line.text);
    return result;
}

bool FakeFramework::logged(const std::string& text, int type) const {
    for (const FakeLogLine& line : log)
        if (line.text == text && line.type == type) return true;
    return false;
}

int FakeFramework::count(const std::string& key) const {
    int n = 0;
    for (const std::string& call : calls) n += call == key;
    return n;
}

bool FakeFramework::failing(const std::string& key) {
    calls.push_back(key);
    const int n = ++seen_[key];
    auto range = rules_.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        if (n < it->second.from || n > it->second.to) continue;
        if (it->second.how == Throw) throw TWYXException(kWyxInvalidDateTime, "injected");
        return true;
    }
    return false;
}

extern "C" {

int wyxRegisterPlugin(const WyxPluginRecord* record, void** handle) {
    FakeFramework& f = fake();
    if (f.failing("wyxRegisterPlugin")) return 3;
    f.record = *record;
    f.handleAddress = handle;
    if (f.registerStatus == 0) *handle = &f;
    return f.registerStatus;
}

int wyxWriteLog(void* plugin, int type, const char* text) {
    fake().log.push_back(FakeLogLine{plugin, type, text});
    return 0;
}

int wyxReportProgress(void*, const char* what, uint32_t done, uint32_t) {
    fake().progress.push_back(std::string(what ? what : "(null)") + ": " + std::to_string(done));
    return 0;
}

int wyxGetPluginPath(void*, const char** path) {
    FakeFramework& f = fake();
    if (f.failing("wyxGetPluginPath")) return 3;
    *path = f.pluginPath.c_str();
    return 0;
}

int wyxAddClass(void*, const char* className) {
    FakeFramework& f = fake();
    if (f.failing(std::string("wyxAddClass ") + className)) return 3;
    f.factCurrent = std::string(className).rfind("VARNSG_ServiceProcessor", 0) == 0;
    (f.factCurrent ? f.facts : f.instances).push_back(FakeInstance{className, {}});
    return 0;
}

int wyxAddProperty(void*, const char* name, const char* value) {
    FakeFramework& f = fake();
    std::vector<FakeInstance>& current = f.factCurrent ? f.facts : f.instances;
    if (f.failing(std::string("wyxAddProperty ") + name) || current.empty()) return 3;
    current.back().properties.push_back(FakeProperty{name, value});
    return 0;
}

int wyxAddDateTimeProperty(void*, const char* name, void* dateTime) {
    FakeFramework& f = fake();
    const FakeDateTime* t = static_cast<const FakeDateTime*>(dateTime);
    if (f.failing(std::string("wyxAddDateTimeProperty ") + name) || f.instances.empty() || !t || !t->set)
        return 3;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d %+d", t->year, t->month, t->day, t->hour,
                  t->minute, t->second, t->offset);
    std::string value = text;
    if (t->micro) value += " micro " + std::to_string(t->micro);
    f.instances.back().properties.push_back(FakeProperty{name, value});
    return 0;
}

int wyxNewCIMDateTime(void** dateTime) {
    FakeFramework& f = fake();
    if (f.failing("wyxNewCIMDateTime")) return 3;
    *dateTime = new FakeDateTime;
    ++f.liveDateTimes;
    return 0;
}

int wyxSetDateTime(void* dateTime, int year, int month, int day, int hour, int minute, int second,
                   int microseconds, int utcOffset) {
    FakeFramework& f = fake();
    FakeDateTime* t = static_cast<FakeDateTime*>(dateTime);
    if (f.failing("wyxSetDateTime") || !t) return 3;
    *t = FakeDateTime{true, year, month, day, hour, minute, second, microseconds, utcOffset};
    return 0;
}

int wyxDeleteCIMDateTime(void* dateTime) {
    FakeFramework& f = fake();
    f.calls.push_back("wyxDeleteCIMDateTime");
    if (!dateTime) return 3;
    delete static_cast<FakeDateTime*>(dateTime);
    --f.liveDateTimes;
    return 0;
}

int wyxNewCIMValueArray(void** valueArray) {
    FakeFramework& f = fake();
    if (f.failing("wyxNewCIMValueArray")) return 3;
    *valueArray = new int(0);
    ++f.liveValueArrays;
    return 0;
}

int wyxDeleteCIMValueArray(void* valueArray) {
    FakeFramework& f = fake();
    f.calls.push_back("wyxDeleteCIMValueArray");
    if (!valueArray) return 3;
    delete static_cast<int*>(valueArray);
    --f.liveValueArrays;
    return 0;
}

const char* wyxTranslateStatusCode(int status) {
    static char text[32];
    std::snprintf(text, sizeof text, "status %d", status);
    return text;
}

}  // extern "C"
