#ifndef QUARNEL_FAKE_FRAMEWORK_H
#define QUARNEL_FAKE_FRAMEWORK_H

#include <map>
#include <string>
#include <vector>

#include "wyxcore/flat.h"

// A recording stand-in for the framework's flat entry points, linked into the
// test binary in their place. Calls are named by a key: the entry point, and
// for class and property calls the class or property name
// ("wyxAddProperty LogName", "wyxAddClass VARNSG_ULKLog", "wyxSetDateTime").

struct FakeProperty {
    std::string name;
    std::string value;   // a date-time reads "yyyy-mm-dd hh:mm:ss +offset"
};

struct FakeInstance {
    std::string className;
    std::vector<FakeProperty> properties;

    bool has(const std::string& name) const;
    std::string get(const std::string& name) const;   // "" when absent
    std::vector<std::string> names() const;
};

struct FakeLogLine {
    void* plugin;
    int type;
    std::string text;
};

class FakeFramework {
public:
    enum Injection { Fail, Throw };

    void reset();
    // The occurrence-th call (from 1) of key returns 3, or throws TWYXException.
    void inject(const std::string& key, int occurrence = 1, Injection how = Fail);
    // Every call of key from the occurrence-th on.
    void injectFrom(const std::string& key, int occurrence, Injection how = Fail);

    // Log texts of one type (or all with -1), in order.
    std::vector<std::string> texts(int type = -1) const;
    bool logged(const std::string& text, int type) const;
    int count(const std::string& key) const;

    // Called by the fake entry points: true when this call is to fail.
    bool failing(const std::string& key);

    std::vector<FakeInstance> instances;
    // What the plug-in records of the processor and its clocks, apart from the logs' instances.
    std::vector<FakeInstance> facts;
    bool factCurrent = false;
    std::vector<FakeLogLine> log;
    std::vector<std::string> calls;
    std::vector<std::string> progress;   // "what: done"
    std::string pluginPath;
    int registerStatus = 0;
    WyxPluginRecord record{};
    void** handleAddress = nullptr;
    int liveDateTimes = 0;
    int liveValueArrays = 0;

private:
    struct Rule {
        int from, to;
        Injection how;
    };
    std::multimap<std::string, Rule> rules_;
    std::map<std::string, int> seen_;
};

FakeFramework& fake();

#endif
