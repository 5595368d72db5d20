#include "version_checker.h"

#include "version_catalog.h"
#include "version_check.h"
#include "wyxcore/exception.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

int VersionChecker::GetType() { return kWyxVersionChecker; }

std::string VersionChecker::GetName() { return "Kalvix Version Checker"; }

void VersionChecker::AdvancedQuery(TContainer* container, const std::string& directory) {
    if (!container) throw TWYXException(kWyxInvalidArgument, "AdvancedQuery without a container");
    const std::string path = CatalogPath(directory);
    try {
        AddVersionChecks(*container, ReadCatalog(path), path);
    } catch (const TWYXException& e) {
        TRootObject::GetCoreLogger()->Write(TRootObject::GetPluginManager()->FindPlugin(GetName()), kWyxLogError,
                                            e.what());
        throw;
    }
}
