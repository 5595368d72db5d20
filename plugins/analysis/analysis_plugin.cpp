#include <algorithm>

#include "basic_analysis.h"
#include "finding_class.h"
#include "wyxcore/plugin.h"

namespace {

class BasicAnalysis : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    int GetType() override { return kWyxAnalysis; }
    std::string GetName() override { return "Basic Analysis"; }
    // Runs when asked for no class in particular or for the findings class.
    void Query(TContainer* container, const std::vector<std::string>& classNames, int) override {
        if (!container) return;
        if (classNames.empty() || std::find(classNames.begin(), classNames.end(), kFindingClass) != classNames.end())
            RunBasicAnalysis(*container);
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static BasicAnalysis analysis;
    return &analysis;
}
