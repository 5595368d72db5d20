// The "XML" writer: the container as gzip-compressed CIM-XML.
#include "wyxcore/cim_xml.h"
#include "wyxcore/plugin.h"

namespace {

class XmlWriter : public IPluginCallbacks, public IPluginWriteCallbacks {
public:
    int GetType() override { return kWyxWriter; }
    std::string GetName() override { return "XML"; }
    void WriteContainer(TContainer* container, const std::string& path) override {
        TCIMXMLFile::Write(container, path);
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static XmlWriter writer;
    return &writer;
}
