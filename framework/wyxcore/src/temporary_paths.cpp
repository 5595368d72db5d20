#include "temporary_paths.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "output_os.h"

namespace temporarypaths {

namespace {

// Writers at once: the XML file, a report or an HTML directory, the dump file,
// the console log; a plug-in may write more, so with room to spare.
const int kSlots = 64;
const size_t kPathMax = 1100;

enum SlotState { kFree, kFilling, kFile, kDirectory };

struct Slot {
    std::atomic<int> state;
    char path[kPathMax];
};

Slot slots[kSlots];
std::atomic<bool> removing(false);

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler reads these");

}  // namespace

TRegistration::TRegistration() : slot_(-1) {}

TRegistration::~TRegistration() { Release(); }

void TRegistration::Register(const std::string& path, bool directory) {
    Release();
    if (path.size() >= kPathMax || path.find('\0') != std::string::npos) return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        // Once removal has begun, a new path would only race with it.
        if (removing.load()) {
            slots[i].state.store(kFree);
            return;
        }
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(directory ? kDirectory : kFile);
        slot_ = i;
        return;
    }
}

void TRegistration::Release() {
    if (slot_ < 0) return;
    slots[slot_].state.store(kFree);
    slot_ = -1;
}

void RemoveAllNow() {
    // A slot is refilled only while removal has not begun, so no path changes under us.
    removing.store(true);
    for (Slot& slot : slots) {
        const int state = slot.state.load();
        if (state == kFile || state == kDirectory) wyxos::RemoveTemporaryNow(slot.path, state == kDirectory);
    }
}

void WaitIfInterrupted() {
    while (removing.load()) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace temporarypaths
