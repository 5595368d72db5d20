#include "collector_app.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"

void CollectorApp::findWriters() {
    IPluginManager* manager = TRootObject::GetPluginManager();
    htmlWriter = manager->FindPlugin("HTML");
    textWriter = manager->FindPlugin("Text");
    xmlWriter = manager->FindPlugin("XML");
    versionChecker = manager->FindPlugin("Kalvix Version Checker");
}
