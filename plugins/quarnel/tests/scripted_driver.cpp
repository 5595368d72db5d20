#include "scripted_driver.h"

#include <algorithm>
#include <cstring>

#include "system_clock.h"
#include "vantlib/SPLibrary.h"

struct SPLibrary::Impl {};

namespace {

TCIMDateTime& now() {
    static TCIMDateTime value = point(2026, 12, 8, 10, 0, 0, 60);
    return value;
}

bool deliver(const ScriptedReply& r, unsigned char* buffer, int* length, size_t capacity) {
    if (!r.bytes.empty())
        std::memcpy(buffer, r.bytes.data(), std::min(r.bytes.size(), capacity));
    if (r.length != ScriptedReply::kAuto) *length = r.length;
    else if (r.ok) *length = static_cast<int>(r.bytes.size());
    return r.ok;
}

ScriptedReply next(std::deque<ScriptedReply>* replies) {
    if (replies->empty()) return reply(Bytes());
    ScriptedReply r = replies->front();
    replies->pop_front();
    return r;
}

bool pathIs(const dotCmd& c, std::initializer_list<unsigned char> path) {
    return c.path() == std::vector<unsigned char>(path);
}

}  // namespace

ScriptedReply reply(const Bytes& bytes) {
    ScriptedReply r;
    r.bytes = bytes;
    return r;
}

ScriptedReply failedReply(int length, const Bytes& bytes) {
    ScriptedReply r;
    r.ok = false;
    r.length = length;
    r.bytes = bytes;
    return r;
}

int DriverScript::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

DriverScript& driver() {
    static DriverScript script;
    return script;
}

void resetDriver() { driver() = DriverScript(); }

void setSystemTime(const TCIMDateTime& value) { now() = value; }

TCIMDateTime point(int year, int month, int day, int hour, int minute, int second, int offset) {
    TCIMDateTime t;
    t.Set(year, month, day, hour, minute, second, 0, offset);
    return t;
}

TCIMDateTime systemLocalTime() { return now(); }

SPLibrary::SPLibrary() : impl_(new Impl) { ++driver().constructed; }
SPLibrary::~SPLibrary() {
    delete impl_;
    ++driver().destroyed;
}

bool SPLibrary::isDotcommand() {
    driver().calls.push_back("isDotcommand");
    return driver().dot;
}
bool SPLibrary::checkSPComm() {
    driver().calls.push_back("checkSPComm");
    return driver().comm;
}
bool SPLibrary::isTolm() {
    driver().calls.push_back("isTolm");
    return driver().tolm;
}
bool SPLibrary::isQmxStop() {
    driver().calls.push_back("isQmxStop");
    return driver().qmxStop;
}
bool SPLibrary::isUlklibrary() {
    driver().calls.push_back("isUlklibrary");
    return driver().ulkLibrary;
}
int SPLibrary::gettolmBoxID() {
    driver().calls.push_back("boxid");
    return driver().boxId;
}

int SPLibrary::discoverSPs() {
    driver().calls.push_back("discoverSPs");
    return static_cast<int>(driver().processors.size());
}

bool SPLibrary::sendTolmCommand(TolmCmd* command, int* length, unsigned char* buffer) {
    DriverScript& d = driver();
    const bool first = command->lun() == 2 && command->netFn() == 0x90 && command->command() == 0x90 &&
                       command->subCommand() == 0x56;
    const bool nextEntry = command->lun() == 2 && command->netFn() == 0x10 && command->command() == 0x90 &&
                           command->subCommand() == 0xF0;
    const bool plain = !command->data() && command->dataLength() == 0 && command->expectReply() &&
                       !command->broadcast();
    d.calls.push_back(!plain ? "tolm unexpected" : first ? "tolm first" : nextEntry ? "tolm next" : "tolm unexpected");
    d.tolmLengthsOnEntry.push_back(*length);
    d.tolmDirtyBuffers += std::any_of(buffer, buffer + 255, [](unsigned char b) { return b != 0; });
    return deliver(next(&d.tolmReplies), buffer, length, 255);
}

bool SPLibrary::sendDotCommand(dotCmd* command, unsigned char* buffer, int* length, int processor, int capacity) {
    DriverScript& d = driver();
    if (capacity != 2048) ++d.badCapacities;
    std::string what = "unexpected";
    if (command->data().empty()) {
        if (command->code() == 2 && pathIs(*command, {4, 4, 1})) what = "clock";
        if (command->code() == 2 && pathIs(*command, {4, 4, 2})) what = "zone";
        if (command->code() == 2 && pathIs(*command, {3, 2})) what = "first";
        if (command->code() == 3 && pathIs(*command, {3, 2})) what = "next";
    }
    d.calls.push_back("dot " + std::to_string(processor) + " " + what);
    if (processor < 0 || processor >= static_cast<int>(d.processors.size())) return false;
    ScriptedProcessor& p = d.processors[processor];
    if (what == "clock") return deliver(p.clock, buffer, length, capacity);
    if (what == "zone") return deliver(p.timezone, buffer, length, capacity);
    if (what == "first" || what == "next") return deliver(next(&p.entries), buffer, length, capacity);
    return false;
}
