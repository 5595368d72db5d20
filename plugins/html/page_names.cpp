#include "page_names.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "wyxcore/container.h"
#include "wyxcore/output_file.h"

const char kIndexPage[] = "index.html";
const char kTimelinePage[] = "timeline.html";
const char kTimelineData[] = "timeline.data.js";

namespace {

const size_t kMaxStem = 80;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

PageNames::PageNames(const std::vector<const TCIMClass*>& classes) {
    std::set<std::string> taken = {"index", "timeline", "report"};
    for (const TCIMClass* cimClass : classes) {
        // The rule of every name made from data (a Windows device name like CON
        // gains a "_"), without its ".": a stem's only dot is its extension's.
        std::string text = cimClass->GetName().empty() ? "class" : cimClass->GetName();
        std::replace(text.begin(), text.end(), '.', '_');
        // Room for a number and ".data.js" within the longest name an output directory takes.
        const std::string stem = SafeNamePart(text, kMaxStem);
        std::string name = stem;
        for (int n = 2; taken.count(lower(name)); ++n) name = stem + "-" + std::to_string(n);
        taken.insert(lower(name));
        stems_[cimClass->GetName()] = name;
    }
}

std::string PageNames::Of(const std::string& className) const {
    auto it = stems_.find(className);
    return it == stems_.end() ? std::string() : it->second + ".html";
}

std::string PageNames::DataOf(const std::string& className) const {
    auto it = stems_.find(className);
    return it == stems_.end() ? std::string() : it->second + ".data.js";
}
