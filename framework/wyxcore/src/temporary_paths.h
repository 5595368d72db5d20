#ifndef WYXCORE_TEMPORARY_PATHS_H
#define WYXCORE_TEMPORARY_PATHS_H

// The temporary files and directories of this run (and its console log), kept
// where an interrupted run can remove them: a signal handler may neither
// allocate nor lock, so each path is copied into a slot set aside at start.
// A path that finds no slot (too long, or too many at once) is only left
// behind by an interruption, as by a kill.

#include <string>

namespace temporarypaths {

class TRegistration {
public:
    TRegistration();
    ~TRegistration();
    TRegistration(const TRegistration&) = delete;
    TRegistration& operator=(const TRegistration&) = delete;

    // Replaces what was registered before.
    void Register(const std::string& path, bool directory);
    void Release();

private:
    int slot_;
};

// Removes every registered path (a directory with the files in it, never
// following a link) and refuses registrations from then on. Safe in a signal
// handler. The rest of the program may still run meanwhile: a second call
// removes what a write already under way added since.
void RemoveAllNow();

// Called before each file a writer creates: once removal has begun, the
// writer waits for the end of the process instead of adding to what is
// being removed.
void WaitIfInterrupted();

}  // namespace temporarypaths

#endif
