#include "collection_file.h"

#include "fleet_error.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

LoadedCollection LoadCollectionFile(const std::string& path) {
    LoadedCollection loaded;
    loaded.container = std::make_unique<TContainer>();
    TContainer& container = *loaded.container;
    try {
        container.PopulateContainerFromFile(path);
    } catch (const TWYXException& e) {
        if (e.GetStatus() == kWyxFileNotFound) throw FleetError("'" + path + "': file not found");
        throw FleetError("'" + path + "': not a readable collection: " + e.what());
    } catch (const std::bad_alloc&) {
        throw FleetError("'" + path + "': not a readable collection: out of memory");
    }
    loaded.facts = ReadCollectionFacts(container);
    if (loaded.facts.serial.empty())
        throw FleetError("'" + path + "': the collection names no serial number, so not which server it is from");
    return loaded;
}

CollectionFacts ReadCollectionFile(const std::string& path) { return std::move(LoadCollectionFile(path).facts); }

std::string CollectionStem(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const char* ending : {".xml.gz", ".xml"}) {
        const std::string e(ending);
        if (name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0) {
            name.erase(name.size() - e.size());
            break;
        }
    }
    return name;
}
