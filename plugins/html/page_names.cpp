#include "page_names.h"

#include <algorithm>
#include <set>

#include <boost/algorithm/string/case_conv.hpp>

#include "wyxcore/container.h"
#include "wyxcore/safe_name.h"

const char kIndexPage[] = "index.html";
const char kTimelinePage[] = "timeline.html";
const char kTimelineData[] = "timeline.data.js";
const char kPartsPage[] = "parts.html";
const char kPartsData[] = "parts.data.js";

namespace {

const size_t kMaxStem = 80;

}  // namespace

PageNames::PageNames(const std::vector<const TCIMClass*>& classes) {
    std::set<std::string> taken = {"index", "timeline", "report", "parts"};
    for (const TCIMClass* cimClass : classes) {
        // The rule of every name made from data (a Windows device name like CON
        // gains a "_"), without its ".": a stem's only dot is its extension's.
        std::string text = cimClass->GetName().empty() ? "class" : cimClass->GetName();
        std::replace(text.begin(), text.end(), '.', '_');
        // Room for a number and ".data.js" within the longest name an output directory takes.
        const std::string stem = SafeNamePart(text, kMaxStem);
        std::string name = stem;
        for (int n = 2; taken.count(boost::algorithm::to_lower_copy(name)); ++n)
            name = stem + "-" + std::to_string(n);
        taken.insert(boost::algorithm::to_lower_copy(name));
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
