#include "temporary_names.h"

#include <atomic>
#include <cstdio>
#include <random>

#include "output_os.h"
#include "temporary_paths.h"
#include "wyxcore/status.h"

namespace outputnames {

TWYXException Failure(int status, const std::string& text) {
    temporarypaths::WaitIfInterrupted();
    return TWYXException(status, text);
}

// A suffix no other writer on this machine uses at the moment: the process
// id tells processes apart, the counter the writers of one process, and the
// salt a process from an earlier one of the same id.
std::string UniqueSuffix() {
    static std::atomic<unsigned long> counter(0);
    static const unsigned long salt = [] {
        std::random_device device;
        return static_cast<unsigned long>(device()) & 0xffffffUL;
    }();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "%lu-%06lx-%lu", wyxos::ProcessId(), salt, ++counter);
    return suffix;
}

std::string TemporaryBeside(const std::string& path) { return path + "." + UniqueSuffix() + ".tmp"; }

intptr_t CreateTemporary(const std::string& path, std::string* temporary,
                         temporarypaths::TRegistration* registration) {
    int status = kWyxWriteFailed;
    std::string reason;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temporarypaths::WaitIfInterrupted();
        *temporary = TemporaryBeside(path);
        // Registered before it exists, so that an interruption between the two
        // never misses it; removing a name not yet made costs nothing.
        registration->Register(*temporary, false);
        const intptr_t file = wyxos::CreateExclusive(*temporary, &status, &reason);
        if (file != wyxos::kNoFile) return file;
        // Only a name taken meanwhile is worth another try.
        if (wyxos::KindOf(*temporary) == wyxos::kEntryMissing) break;
    }
    registration->Release();
    throw Failure(status == kWyxFileNotFound ? kWyxAccessDenied : status, path + ": " + reason);
}

std::string Joined(const std::string& directory, const std::string& name) {
    return directory + wyxos::Separator() + name;
}

}  // namespace outputnames
