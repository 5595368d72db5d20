#include "html_report.h"
#include "wyxcore/exception.h"
#include "report_time.h"
#include "wyxcore/plugin.h"
#include "wyxcore/status.h"

namespace {

class HtmlWriter : public IPluginCallbacks, public IPluginWriteCallbacks {
public:
    int GetType() override { return kWyxWriter; }
    std::string GetName() override { return "HTML"; }
    void WriteContainer(TContainer* container, const std::string& directory) override {
        if (!container) throw TWYXException(kWyxInvalidArgument, "HTML WriteContainer without a container");
        WriteHtmlReport(*container, directory, ReportTime());
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static HtmlWriter writer;
    return &writer;
}
