#ifndef WYXCORE_QUERY_DEADLINE_H
#define WYXCORE_QUERY_DEADLINE_H

#include <chrono>
#include <string>
#include <vector>

class IPlugin;
class IPluginBasicQueryCallbacks;
class TContainer;

namespace query_deadline {

// WYX_COLLECTOR_TIMEOUT in seconds (fractions allowed, up to a day), else 30 s.
std::chrono::milliseconds CollectorBound();

// Runs a collector's query on a thread of its own against a private container
// that holds the real one's classes, and merges what it added only when it
// returned within the bound; an exception it throws is rethrown here. A query
// that overruns is abandoned (its thread left to finish on its own, its log
// writes dropped from then on) and recorded in the core log as an Error; the
// call then returns normally.
void RunBounded(IPlugin* plugin, IPluginBasicQueryCallbacks* query, TContainer* container,
                const std::vector<std::string>& classNames, int pass, std::chrono::milliseconds bound);

// False on the thread of an abandoned query: what it would still write to the
// shared framework state is dropped.
bool CallerMayWrite();

}  // namespace query_deadline

#endif
