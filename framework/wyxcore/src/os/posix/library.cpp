#include "library.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "elf_image.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace wyxos {

void* OpenLibrary(const std::string& path, std::string* error) {
    std::string incomplete;
    if (!ElfSegmentsComplete(path, &incomplete)) {
        if (error) *error = path + ": " + incomplete;
        return nullptr;
    }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library && error) {
        const char* text = dlerror();
        *error = text ? text : "unknown error";
    }
    return library;
}

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }

std::vector<std::string> ListFiles(const std::string& directory) {
    DIR* dir = opendir(directory.c_str());
    if (!dir) throw TWYXException(kWyxPluginDirMissing, directory + ": " + std::strerror(errno));
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        struct stat st;
        if (stat((directory + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    closedir(dir);
    return names;
}

}  // namespace wyxos
