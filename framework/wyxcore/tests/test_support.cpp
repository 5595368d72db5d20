#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "wyxcore/container.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"

namespace testsupport {

std::string RequiredEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) ADD_FAILURE() << name << " is not set";
    return value ? value : "";
}

IPlugin* Plugin(const std::string& name) {
    static bool loaded = false;
    IPluginManager* manager = TRootObject::GetPluginManager();
    if (!loaded) {
        loaded = true;
        // The built plug-ins first: the fixtures include stand-ins of the same names.
        SetEnv("WYX_PLUGIN_DIR", (std::filesystem::path(RequiredEnv("NORBIX_BIN")) / "plugins").string());
        manager->LoadPlugins();
        SetEnv("WYX_PLUGIN_DIR", RequiredEnv("NORBIX_FIXTURES"));
        manager->LoadPlugins();
        UnsetEnv("WYX_PLUGIN_DIR");
    }
    IPlugin* plugin = manager->FindPlugin(name);
    if (!plugin) ADD_FAILURE() << "plug-in " << name << " not loaded";
    return plugin;
}

std::vector<std::string> TakeLog(IPlugin* source) {
    ILogger* log = TRootObject::GetCoreLogger();
    std::vector<std::string> texts;
    for (const TLogEntry& entry : log->GetEntries())
        if (entry.source == source) texts.push_back(entry.message);
    log->ClearEntries();
    return texts;
}

std::string Describe(const TContainer& container) {
    std::ostringstream out;
    for (const TCIMClass* cimClass : container.GetClasses()) {
        out << "class " << cimClass->GetName() << " provider=" << cimClass->GetProvider() << "/"
            << cimClass->GetProviderPass() << "\n";
        for (const TCIMPropertyDecl& decl : cimClass->GetPropertyDecls())
            out << "  " << decl.name << ":" << CIMTypeName(decl.type) << (decl.isArray ? "[]" : "") << decl.referenceClass
                << "\n";
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true)) {
            out << "  instance\n";
            for (const auto& prop : instance->GetProperties()) {
                out << "    " << prop.first << ":" << CIMTypeName(prop.second.GetType()) << "=[" << prop.second.GetText();
                for (const std::string& element : prop.second.GetElements()) out << "|" << element;
                out << prop.second.GetReferenceXml() << "]\n";
            }
        }
    }
    return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace testsupport
