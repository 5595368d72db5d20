#include "wyxcore/collector_run.h"

#include <memory>

#include "wyxcore/container.h"

namespace collector_run {

const char* const kClassName = "VARNSG_CollectorRun";

namespace {

const Outcome kOutcomes[] = {Outcome::kRan, Outcome::kSkipped, Outcome::kNotLoaded, Outcome::kAbandoned};

std::string text(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string();
}

uint64_t number(const TCIMInstance& instance, const char* name) {
    const std::string digits = text(instance, name);
    if (digits.empty() || digits.size() > 19 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoull(digits);
}

}  // namespace

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::kRan: return "ran";
    case Outcome::kSkipped: return "skipped";
    case Outcome::kNotLoaded: return "not loaded";
    case Outcome::kAbandoned: return "abandoned";
    }
    return "";
}

void Add(TContainer* container, const Step& step) {
    TCIMClass* cls = container->FindClass(kClassName);
    if (!cls) return;
    auto instance = std::make_unique<TCIMInstance>(cls);
    instance->SetPropertyValue("Collector", TCIMValue(step.collector));
    instance->SetPropertyValue("SelectionName", TCIMValue(step.selection));
    instance->SetPropertyValue("Step", TCIMValue(step.step));
    instance->SetPropertyValue("Outcome", TCIMValue(OutcomeName(step.outcome)));
    instance->SetPropertyValue("InstancesAdded", TCIMValue::FromText(kCIMUInt64, std::to_string(step.instancesAdded)));
    instance->SetPropertyValue("DurationMilliseconds",
                               TCIMValue::FromText(kCIMUInt64, std::to_string(step.milliseconds)));
    if (!step.reason.empty()) instance->SetPropertyValue("Reason", TCIMValue(step.reason));
    instance.release()->Commit();
}

bool Read(const TContainer& container, std::vector<Step>* steps) {
    const TCIMClass* cls = container.FindClass(kClassName);
    if (!cls || cls->GetInstanceCount() == 0) return false;
    for (const TCIMInstance* instance : cls->EnumerateInstances(true)) {
        Step step;
        const std::string outcome = text(*instance, "Outcome");
        bool known = false;
        for (Outcome o : kOutcomes)
            if (outcome == OutcomeName(o)) {
                step.outcome = o;
                known = true;
            }
        if (!known) continue;
        step.collector = text(*instance, "Collector");
        step.selection = text(*instance, "SelectionName");
        step.step = text(*instance, "Step");
        step.instancesAdded = number(*instance, "InstancesAdded");
        step.milliseconds = number(*instance, "DurationMilliseconds");
        step.reason = text(*instance, "Reason");
        steps->push_back(step);
    }
    return true;
}

}  // namespace collector_run
