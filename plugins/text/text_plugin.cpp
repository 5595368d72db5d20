#include "report_file.h"
#include "text_report.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "report_time.h"
#include "wyxcore/plugin.h"
#include "wyxcore/status.h"

namespace {

class TextWriter : public IPluginCallbacks, public IPluginWriteCallbacks {
public:
    int GetType() override { return kWyxWriter; }
    std::string GetName() override { return "Text"; }
    // base is the report's path without the ".txt" that this writer adds.
    void WriteContainer(TContainer* container, const std::string& base) override {
        if (!container) throw TWYXException(kWyxInvalidArgument, "Text WriteContainer without a container");
        WriteReportFile(base + ".txt", RenderTextReport(*container, ReportTime()), true);
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static TextWriter writer;
    return &writer;
}
