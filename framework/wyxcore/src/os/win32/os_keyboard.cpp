#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "wyxcore/os_specific.h"

namespace {

bool stdinIsConsole() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// Console: drops the events in front of the first key press; true when one waits.
bool consoleKeyWaiting() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!PeekConsoleInputA(input, &record, 1, &count) || count == 0) return false;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return true;
        ReadConsoleInputA(input, &record, 1, &count);
    }
}

// A pipe or file: neither peeking nor waiting on the handle tells whether a byte
// waits there under every host, so a helper thread does blocking one-byte reads
// and holds each byte until it is consumed.
class PipeReader {
public:
    PipeReader() : byte_(-1), ended_(false) {
        std::thread(&PipeReader::run, this).detach();
        std::unique_lock<std::mutex> lock(mutex_);
        // A byte already in the pipe counts at the first test.
        changed_.wait_for(lock, std::chrono::milliseconds(200), [this] { return byte_ >= 0 || ended_; });
    }
    bool waiting() {
        std::lock_guard<std::mutex> lock(mutex_);
        return byte_ >= 0;
    }
    int take() {
        std::lock_guard<std::mutex> lock(mutex_);
        const int byte = byte_;
        byte_ = -1;
        changed_.notify_all();
        return byte;
    }

private:
    void run() {
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        for (;;) {
            unsigned char c;
            DWORD n = 0;
            const bool ok = ReadFile(input, &c, 1, &n, nullptr) && n == 1;
            std::unique_lock<std::mutex> lock(mutex_);
            if (!ok) {
                ended_ = true;   // end of input: no key, ever
                changed_.notify_all();
                return;
            }
            byte_ = c;
            changed_.notify_all();
            changed_.wait(lock, [this] { return byte_ < 0; });
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int byte_;
    bool ended_;
};

// Never destroyed: its thread may be blocked in a read when the process ends.
PipeReader& pipeReader() {
    static PipeReader* reader = new PipeReader();
    return *reader;
}

}  // namespace

bool TOSSpecific::IsKeyWaiting() { return stdinIsConsole() ? consoleKeyWaiting() : pipeReader().waiting(); }

int TOSSpecific::GetKeyboardChar() {
    if (!stdinIsConsole()) return pipeReader().take();
    if (!consoleKeyWaiting()) return -1;
    INPUT_RECORD record;
    DWORD count = 0;
    if (!ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &count) || count == 0) return -1;
    return static_cast<unsigned char>(record.Event.KeyEvent.uChar.AsciiChar);
}

void TOSSpecific::USleep(unsigned int count) { Sleep(count); }
