// The progress channel: one sink, redraws throttled here so callers may report
// every entry.
#include "wyxcore/progress.h"

#include <chrono>
#include <mutex>

#include "wyxcore/flat.h"
#include "wyxcore/status.h"

#include "plugin_manager_impl.h"
#include "query_deadline.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr Clock::duration kRedrawInterval = std::chrono::milliseconds(100);

// A collector reports from its query's thread, the writers from the main one,
// and an abandoned query's thread may still be running: one lock for the state.
std::mutex state;
IProgressSink* installedSink = nullptr;
Clock::time_point lastDrawn;
std::string lastWhat;
std::string advancedWhat;
uint64_t advanced = 0;

}  // namespace

IProgressSink::~IProgressSink() = default;

void SetProgressSink(IProgressSink* sink) {
    std::lock_guard<std::mutex> lock(state);
    installedSink = sink;
    lastDrawn = Clock::time_point();
    lastWhat.clear();
    advancedWhat.clear();
}

std::string ProgressLine(const char* what, uint64_t done, uint64_t total) {
    std::string line = std::string("  ") + (what ? what : "") + ": " + std::to_string(done);
    if (total) line += " of " + std::to_string(total);
    return line;
}

namespace {

void reportLocked(const char* what, uint64_t done, uint64_t total) {
    const Clock::time_point now = Clock::now();
    // A new step shows at once; the same step waits for its next redraw.
    const bool sameStep = lastWhat == what;
    if (sameStep && now - lastDrawn < kRedrawInterval) return;
    lastDrawn = now;
    if (!sameStep) lastWhat = what;
    installedSink->Show(ProgressLine(what, done, total));
}

}  // namespace

void ReportProgress(const char* what, uint64_t done, uint64_t total) {
    if (!what || !query_deadline::CallerMayWrite()) return;
    std::lock_guard<std::mutex> lock(state);
    if (installedSink) reportLocked(what, done, total);
}

void AdvanceProgress(const char* what) {
    if (!what || !query_deadline::CallerMayWrite()) return;
    std::lock_guard<std::mutex> lock(state);
    if (!installedSink) return;
    // Another step shown since resets the count.
    if (advancedWhat != what || lastWhat != what) {
        advancedWhat = what;
        advanced = 0;
    }
    reportLocked(what, ++advanced, 0);
}

extern "C" int wyxReportProgress(void* plugin, const char* what, uint32_t done, uint32_t total) {
    if (!what || (plugin && !LoadedPlugin::FromHandle(plugin))) return kWyxFailure;
    // An abandoned query's handles are revoked, as for every flat call.
    if (!query_deadline::CallerMayWrite()) return kWyxFailure;
    ReportProgress(what, done, total);
    return kWyxOK;
}
