#ifndef NORBIX_ANALYSIS_CALLBACKS_H
#define NORBIX_ANALYSIS_CALLBACKS_H

#include "wyxcore/plugin.h"

// "Basic Analysis": its query adds the findings to the container.
class BasicAnalysis : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    int GetType() override;
    std::string GetName() override;
    // Runs when asked for no class in particular or for the findings class.
    void Query(TContainer* container, const std::vector<std::string>& classNames, int pass) override;
};

#endif
