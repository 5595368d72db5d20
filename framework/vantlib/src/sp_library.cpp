// The driver object, answering from the simulated processor of VANT_SP_IMAGE.
#include "vantlib/SPLibrary.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>

#include "sp_image.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/status.h"

struct SPLibrary::Impl {
    SpImage image;
    size_t travCursor = 0;
    std::vector<size_t> entryCursor;   // per processor
};

namespace {

// Far beyond any simulated processor's image: a larger file is not one.
const size_t kImageMax = 64 * 1024 * 1024;

const unsigned char kClockPath[] = {4, 4, 1};
const unsigned char kTimezonePath[] = {4, 4, 2};
const unsigned char kLogPath[] = {3, 2};

bool pathIs(const dotCmd& command, const unsigned char* path, size_t length) {
    return command.path().size() == length && std::equal(path, path + length, command.path().begin());
}

// A malformed or unreadable image leaves no service processor; the reason goes
// to the core log when the driver object is made. Each collector that asks the
// processor makes its own driver object, and one fault is still one fault: it
// is reported once per process. The set is never destroyed, so that a collector
// thread left running at exit still finds it.
void reportBadImage(const std::string& path, const std::string& reason) {
    const std::string text = "VANT_SP_IMAGE " + path + ": " + reason + "; no service processor simulated";
    static std::mutex& lock = *new std::mutex;
    static std::set<std::string>& reported = *new std::set<std::string>;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!reported.insert(text).second) return;
    }
    wyxWriteLog(nullptr, 0, text.c_str());
}

SpImage loadImage() {
    const char* path = std::getenv("VANT_SP_IMAGE");
    if (!path || !*path) return SpImage();
    std::string text;
    try {
        text = ReadBoundedFile(path, kImageMax);
    } catch (const TWYXException& e) {
        reportBadImage(path, e.GetStatus() == kWyxFileTooLarge ? "is larger than any image (64 MiB)" : "cannot be read");
        return SpImage();
    }
    SpImage image;
    std::string error;
    if (!parseSpImage(text, &image, &error)) {
        reportBadImage(path, error);
        return SpImage();
    }
    return image;
}

// Delivers one scripted reply. A failed send leaves the length as it was unless
// deliverOnFail (Tolm: the bytes arrive all the same).
bool deliver(const SpReply& reply, unsigned char* buffer, int* length, int capacity, bool deliverOnFail) {
    if (!reply.ok && !deliverOnFail) return false;
    const int count = static_cast<int>(std::min<size_t>(reply.bytes.size(), static_cast<size_t>(capacity)));
    if (count > 0) std::memcpy(buffer, reply.bytes.data(), count);
    *length = count;
    return reply.ok;
}

// What a log answers after its last entry: success, nothing more.
const SpReply& entryAt(const std::vector<SpReply>& entries, size_t* cursor) {
    static const SpReply kEnd = {true, {}};
    if (*cursor >= entries.size()) return kEnd;
    return entries[(*cursor)++];
}

}  // namespace

SPLibrary::SPLibrary() : impl_(new Impl) {
    impl_->image = loadImage();
    impl_->entryCursor.assign(impl_->image.processors.size(), 0);
}

SPLibrary::~SPLibrary() { delete impl_; }

void SPLibrary::assign(const SPLibrary& other) { *impl_ = *other.impl_; }

bool SPLibrary::isDotcommand() { return impl_->image.kind == SpImage::Dot; }
bool SPLibrary::checkSPComm() { return isDotcommand() && impl_->image.commOk; }
bool SPLibrary::isTolm() { return impl_->image.kind == SpImage::Tolm; }
bool SPLibrary::isQmxStop() { return impl_->image.qmxStop; }
bool SPLibrary::isUlklibrary() { return impl_->image.ulkLibrary; }
int SPLibrary::gettolmBoxID() { return impl_->image.boxId; }
bool SPLibrary::getFirmwareVersion(std::string* version) {
    if (impl_->image.kind == SpImage::None || impl_->image.firmware.empty() || !version) return false;
    *version = impl_->image.firmware;
    return true;
}

bool SPLibrary::sendTolmCommand(TolmCmd* command, int* length, unsigned char* reply) {
    if (!isTolm() || !command || !length || !reply) return false;
    const bool first = command->lun() == 2 && command->netFn() == 0x90 && command->command() == 0x90 &&
                       command->subCommand() == 0x56;
    const bool next = command->lun() == 2 && command->netFn() == 0x10 && command->command() == 0x90 &&
                      command->subCommand() == 0xF0;
    if (!first && !next) return false;
    if (first) impl_->travCursor = 0;
    const SpReply& answer = entryAt(impl_->image.travEntries, &impl_->travCursor);
    const int kReplyCapacity = 255;
    if (!answer.ok && answer.bytes.empty()) {
        *length = 0;
        return false;
    }
    return deliver(answer, reply, length, kReplyCapacity, true);
}

int SPLibrary::discoverSPs() {
    return isDotcommand() ? static_cast<int>(impl_->image.processors.size()) : 0;
}

bool SPLibrary::sendDotCommand(dotCmd* command, unsigned char* reply, int* length, int processor,
                               int capacity) {
    if (!isDotcommand() || !command || !reply || !length || capacity < 0 || processor < 0 ||
        processor >= discoverSPs())
        return false;
    SpProcessor& sp = impl_->image.processors[processor];
    size_t& cursor = impl_->entryCursor[processor];
    if (command->code() == 2 && pathIs(*command, kClockPath, sizeof kClockPath))
        return deliver(clockReplyAt(sp.clock, static_cast<long long>(std::time(nullptr))), reply, length, capacity,
                       false);
    if (command->code() == 2 && pathIs(*command, kTimezonePath, sizeof kTimezonePath))
        return deliver(sp.timezone, reply, length, capacity, false);
    if (pathIs(*command, kLogPath, sizeof kLogPath) && (command->code() == 2 || command->code() == 3)) {
        if (command->code() == 2) cursor = 0;
        return deliver(entryAt(sp.entries, &cursor), reply, length, capacity, false);
    }
    return false;
}
