#include "reading_order.h"

#include <algorithm>
#include <utility>

#include "wyxcore/container.h"

namespace {
const char kTimestamp[] = "MessageTimestamp";

const TCIMDateTime* timestampOf(const TCIMInstance* instance) {
    const TCIMValue* value = instance->GetPropertyValue(kTimestamp);
    return value ? value->FindDateTime() : nullptr;
}
}  // namespace

bool IsLogClass(const TCIMClass& cimClass) {
    const TCIMPropertyDecl* decl = cimClass.FindProperty(kTimestamp);
    return decl && decl->type == kCIMDateTime;
}

std::vector<const TCIMInstance*> ReadingOrder(const TCIMClass& cimClass) {
    std::vector<const TCIMInstance*> order;
    for (TCIMInstance* instance : cimClass.EnumerateInstances(true)) order.push_back(instance);
    if (!IsLogClass(cimClass)) return order;
    // Each time stamp looked up once, not at every comparison: a log has tens of thousands.
    std::vector<std::pair<const TCIMDateTime*, const TCIMInstance*> > keyed;
    keyed.reserve(order.size());
    for (const TCIMInstance* instance : order) keyed.emplace_back(timestampOf(instance), instance);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (!a.first || !b.first) return a.first && !b.first;
        return *a.first < *b.first;
    });
    for (size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].second;
    return order;
}
