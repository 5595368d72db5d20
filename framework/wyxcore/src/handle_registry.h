#ifndef WYXCORE_HANDLE_REGISTRY_H
#define WYXCORE_HANDLE_REGISTRY_H

#include <mutex>
#include <set>

// The addresses handed to flat plug-ins as handles of one kind, so that a
// stale, foreign or null handle is refused instead of followed.
class HandleRegistry {
public:
    void add(void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        live_.insert(handle);
    }
    // False when the handle was not live.
    bool remove(void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return live_.erase(handle) != 0;
    }
    bool contains(void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return handle && live_.count(handle) != 0;
    }

private:
    std::mutex mutex_;
    std::set<void*> live_;
};

#endif
