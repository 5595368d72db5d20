#include "version_check.h"

#include <boost/algorithm/string/predicate.hpp>

#include "version_compare.h"
#include "wyxcore/container.h"

const char kVersionCheckClass[] = "VARNSG_VersionCheck";

namespace {

std::string textOf(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string();
}

bool alreadyChecked(const TCIMClass& checks, const std::string& component, const std::string& installed,
                    const std::string& available) {
    for (const TCIMInstance* check : checks.EnumerateInstances(true))
        if (textOf(*check, "Component") == component && textOf(*check, "InstalledVersion") == installed &&
            textOf(*check, "AvailableVersion") == available)
            return true;
    return false;
}

}  // namespace

TCIMClass* VersionCheckClass(TContainer& container) {
    static const char* const properties[] = {"CreationClassName", "Component", "InstalledVersion",
                                             "AvailableVersion",  "UpToDate",  "Status",
                                             "SourceClass",       "CatalogFile"};
    TCIMClass* cimClass = container.AddClass(kVersionCheckClass);
    for (const char* property : properties) cimClass->DeclareProperty(property, kCIMString);
    return cimClass;
}

std::string InstalledVersion(const TContainer& container, const std::string& component, std::string* sourceClass) {
    for (const TCIMClass* cimClass : container.GetClasses()) {
        if (cimClass->GetName() == kVersionCheckClass) continue;
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true)) {
            const std::string version = textOf(*instance, "Version");
            if (!version.empty() && boost::algorithm::iequals(textOf(*instance, "Name"), component)) {
                *sourceClass = cimClass->GetName();
                return version;
            }
        }
    }
    return std::string();
}

void AddVersionChecks(TContainer& container, const std::vector<CatalogEntry>& catalog,
                      const std::string& catalogFile) {
    TCIMClass* checks = VersionCheckClass(container);
    for (const CatalogEntry& entry : catalog) {
        std::string sourceClass;
        const std::string installed = InstalledVersion(container, entry.component, &sourceClass);
        if (alreadyChecked(*checks, entry.component, installed, entry.version)) continue;
        const int order = installed.empty() ? -1 : CompareVersions(installed, entry.version);
        const char* status = installed.empty() ? "Not installed"
                             : order < 0       ? "Update available"
                             : order > 0       ? "Newer than catalog"
                                               : "Up to date";
        TCIMInstance* check = new TCIMInstance(checks);
        try {
            check->SetPropertyValue("CreationClassName", TCIMValue(kVersionCheckClass));
            check->SetPropertyValue("Component", TCIMValue(entry.component));
            check->SetPropertyValue("InstalledVersion", TCIMValue(installed));
            check->SetPropertyValue("AvailableVersion", TCIMValue(entry.version));
            check->SetPropertyValue("UpToDate", TCIMValue(order >= 0 && !installed.empty() ? "Yes" : "No"));
            check->SetPropertyValue("Status", TCIMValue(status));
            check->SetPropertyValue("SourceClass", TCIMValue(sourceClass));
            check->SetPropertyValue("CatalogFile", TCIMValue(catalogFile));
        } catch (...) {
            delete check;
            throw;
        }
        check->Commit();
    }
}
