#include "ingest_command.h"

#include "collection_file.h"
#include "content_hash.h"
#include "fleet_error.h"
#include "fleet_store.h"
#include "store_open.h"
#include "store_schema.h"
#include "terminal.h"

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
    const bool progress = StderrIsTerminal() && line.operands.size() > 1;
    size_t shown = 0;   // length of the progress line drawn
    auto clearProgress = [&] {
        if (shown) err << '\r' << std::string(shown, ' ') << '\r' << std::flush;
        shown = 0;
    };
    for (size_t i = 0; i < line.operands.size(); ++i) {
        const std::string& path = line.operands[i];
        if (progress) {
            clearProgress();
            const std::string text = "[" + std::to_string(i + 1) + "/" + std::to_string(line.operands.size()) + "] " +
                                     fileNameOf(path).substr(0, 60);
            err << text << std::flush;
            shown = text.size();
        }
        LoadedCollection loaded;
        std::string hash;
        try {
            loaded = LoadCollectionFile(path);
            hash = FileContentHash(path);
        } catch (const FleetError& e) {
            clearProgress();
            err << "norbix-fleet: error: " << e.what() << "\n";
            ++refused;
            continue;
        }
        bool isNew;
        try {
            isNew = StoreCollection(*store, fileNameOf(path), hash, *loaded.container, loaded.facts);
        } catch (...) {
            clearProgress();
            throw;
        }
        clearProgress();
        if (isNew) {
            out << "stored " << path << " (serial " << loaded.facts.serial << ")" << std::endl;
            ++stored;
        } else {
            out << "already stored " << path << std::endl;
            ++known;
        }
    }
    clearProgress();
    out << "Ingested " << line.operands.size() << (line.operands.size() == 1 ? " file: " : " files: ") << stored
        << " stored, " << known << " already stored, " << refused << " refused\n";
    return refused == 0;
}
