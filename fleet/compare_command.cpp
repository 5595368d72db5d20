#include "compare_command.h"

#include "collection_file.h"
#include "comparison.h"
#include "comparison_output.h"
#include "content_hash.h"
#include "fleet_error.h"
#include "output_folder.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/safe_name.h"

namespace {

// Each stem's share of the name: the two fit in the bound of a file name.
const size_t kStemShare = 48;

}  // namespace

std::string ComparisonBaseName(const std::string& oldPath, const std::string& newPath) {
    return "compare_" + SafeNamePart(CollectionStem(oldPath), kStemShare) + "_to_" +
           SafeNamePart(CollectionStem(newPath), kStemShare);
}

void RunCompare(const FleetCommandLine& line, std::ostream& out) {
    const std::string& oldPath = line.operands[0];
    const std::string& newPath = line.operands[1];
    CollectionFacts a = ReadCollectionFile(oldPath);
    CollectionFacts b = ReadCollectionFile(newPath);
    if (FileContentHash(oldPath) == FileContentHash(newPath))
        throw FleetError("'" + newPath + "' holds the same collection as '" + oldPath + "': nothing to compare");
    if (!line.force) {
        if (a.serial != b.serial)
            throw FleetError("'" + newPath + "' is of another server than '" + oldPath + "': serial " + b.serial +
                             ", not " + a.serial + " (--force compares them all the same)");
        if (a.typeModel != b.typeModel)
            throw FleetError("'" + newPath + "' is of another type-model than '" + oldPath + "': " + b.typeModel +
                             ", not " + a.typeModel + " (--force compares them all the same)");
    }
    Comparison comparison;
    comparison.oldFile = oldPath;
    comparison.newFile = newPath;
    Compare(std::move(a), std::move(b), &comparison);
    EnsureOutputFolder(line.outDir);
    const std::string base = line.outDir + TOSSpecific::kFileSeparator + ComparisonBaseName(oldPath, newPath);
    WriteComparison(comparison, base);
    out << ComparisonSummary(comparison) << "\n"
        << "Wrote " << base << TOSSpecific::kFileSeparator << "index.html and " << base << ".txt\n";
}
