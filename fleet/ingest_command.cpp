#include "ingest_command.h"

#include "collection_file.h"
#include "content_hash.h"
#include "fleet_error.h"
#include "fleet_store.h"
#include "store_open.h"
#include "store_schema.h"

namespace {

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool RunIngest(const FleetCommandLine& line, std::ostream& out, std::ostream& err) {
    std::unique_ptr<SqlConnection> store = OpenStore(line.store, false, line.waitSeconds);
    PrepareStoreSchema(*store);
    size_t stored = 0, known = 0, refused = 0;
    for (const std::string& path : line.operands) {
        LoadedCollection loaded;
        std::string hash;
        try {
            hash = FileContentHash(path);
            loaded = LoadCollectionFile(path);
        } catch (const FleetError& e) {
            err << "norbix-fleet: error: " << e.what() << "\n";
            ++refused;
            continue;
        }
        if (StoreCollection(*store, fileNameOf(path), hash, *loaded.container, loaded.facts)) {
            out << "stored " << path << " (serial " << loaded.facts.serial << ")\n";
            ++stored;
        } else {
            out << "already stored " << path << "\n";
            ++known;
        }
    }
    out << "Ingested " << line.operands.size() << (line.operands.size() == 1 ? " file: " : " files: ") << stored
        << " stored, " << known << " already stored, " << refused << " refused\n";
    return refused == 0;
}
