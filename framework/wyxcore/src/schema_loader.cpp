#include "schema_loader.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "cim_xml_reader.h"
#include "library.h"
#include "os_files.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace schema {

namespace {

// Far beyond any class schema: a larger file is not one.
const size_t kSchemaFileMax = 16 * 1024 * 1024;

struct SchemaFile {
    std::string path;
    std::string bytes;
};

int state = kWyxOK;

std::string directory() {
    const char* dir = std::getenv("WYX_SCHEMA_DIR");
    if (dir && *dir) return dir;
    return wyxos::LibraryDirectory() + TOSSpecific::kFileSeparator + "schema";
}

void report(const std::string& what) {
    TRootObject::GetCoreLogger()->Write(nullptr, kWyxLogError, "Couldn't read the class schema " + what);
}

// The schema files as read once, each already checked against an empty container.
const std::vector<SchemaFile>& files() {
    static std::vector<SchemaFile>* loaded = nullptr;
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    if (loaded) return *loaded;
    loaded = new std::vector<SchemaFile>();
    const std::string dir = directory();
    std::vector<std::string> names;
    try {
        names = wyxos::ListFiles(dir);
    } catch (const TWYXException&) {
        report(dir + ": the directory cannot be read");
        state = kWyxSchemaMissing;
        return *loaded;
    }
    std::sort(names.begin(), names.end());
    TContainer check(TContainer::kEmpty);
    for (const std::string& name : names) {
        if (name.size() < 5 || name.compare(name.size() - 4, 4, ".xml") != 0) continue;
        SchemaFile file;
        file.path = dir + TOSSpecific::kFileSeparator + name;
        try {
            file.bytes = ReadBoundedFile(file.path, kSchemaFileMax);
            cimxml::ReadInto(&check, file.bytes);
            loaded->push_back(file);
        } catch (const TWYXException& e) {
            report(file.path + ": " + e.what());
            state = kWyxSchemaInvalid;
        }
    }
    if (loaded->empty() && state == kWyxOK) {
        report(dir + ": the directory holds no schema file");
        state = kWyxSchemaMissing;
    }
    return *loaded;
}

}  // namespace

void Load(TContainer* container) {
    for (const SchemaFile& file : files()) {
        try {
            cimxml::ReadInto(container, file.bytes);
        } catch (const TWYXException& e) {
            report(file.path + ": " + e.what());
        }
    }
}

int State() {
    files();
    return state;
}

}  // namespace schema
