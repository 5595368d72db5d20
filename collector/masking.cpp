// Masking on request (WYX_MASK): set up before collection, so that a bad map
// or words file stops the run before it has cost anything, and applied to the
// container before any output is written.
#include <cstdlib>

#include "collector_app.h"
#include "known_sources.h"
#include "map_file.h"
#include "masker.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/os_specific.h"

namespace {

const char* const kMapFileName = "norbix_mask_map.txt";
// The set-up lines of a run; far less in practice.
const size_t kConsoleLogMax = 1u << 20;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

void CollectorApp::prepareMasking() {
    const std::string wanted = environment("WYX_MASK");
    if (wanted.empty()) return;
    MaskChoice choice;
    std::string bad;
    if (!ParseMaskChoice(wanted, &choice, &bad) || !choice.Any()) {
        writeConsole("ERROR: WYX_MASK names '" + (bad.empty() ? wanted : bad) +
                     "'; it takes hosts, addresses, macs, users, serials, keep-mac-maker or all.\n");
        exitProgram(1);
    }
    // The dump is rewritten after every collector, long before masking, and
    // stays on disk when the run is cut short.
    if (dumpXml) {
        writeConsole("ERROR: /dumpxml writes the collected data unmasked; it cannot be used with WYX_MASK.\n");
        exitProgram(1);
    }
    maskMapPath = environment("WYX_MASK_MAP");
    if (maskMapPath.empty()) maskMapPath = outputDir + TOSSpecific::kFileSeparator + kMapFileName;
    std::unique_ptr<PseudonymMap> map(new PseudonymMap());
    try {
        LoadMapFile(maskMapPath, map.get());
    } catch (const MaskMapError& e) {
        writeConsole("ERROR: Couldn't use the mask map file '" + maskMapPath + "': it " + e.what() + ".\n");
        exitProgram(1);
    }
    std::unique_ptr<Masker> engine(new Masker(choice, map.get()));
    const std::string words = environment("WYX_MASK_WORDS");
    if (!words.empty()) {
        try {
            LearnFromWordsFile(engine.get(), words);
        } catch (const TWYXException& e) {
            writeConsole("ERROR: Couldn't read the mask words file '" + words + "': " +
                         wyxTranslateStatusCode(e.GetStatus()) + ".\n");
            exitProgram(1);
        }
    }
    LearnFromMachine(engine.get());
    maskMap = std::move(map);
    masker = std::move(engine);
    maskConsoleLog();
}

void CollectorApp::maskConsoleLog() {
    // What the file holds from before masking began is written again, masked.
    if (!consoleLog.IsOpen()) return;
    std::string transcript;
    try {
        transcript = ReadBoundedFile(consoleLogPath, kConsoleLogMax);
    } catch (const TWYXException&) {
    }
    consoleLog.Close();
    if (consoleLog.Open(consoleLogPath)) consoleLog.Write(masker->MaskText(transcript));
}

void CollectorApp::maskContainer(TContainer* container) {
    masker->LearnFromContainer(container);
    try {
        masker->MaskContainer(container);
    } catch (const std::exception& e) {
        writeConsole(std::string("ERROR: Couldn't mask the collected data: ") + e.what() + ".\n");
        exitProgram(1);
    }
    // A name taken from an input file: its parts between '_' are tokens of their own.
    std::string name;
    size_t start = 0;
    while (start <= outputBaseName.size() && !outputBaseName.empty()) {
        const size_t underscore = outputBaseName.find('_', start);
        name += masker->MaskText(outputBaseName.substr(start, underscore == std::string::npos ? std::string::npos
                                                                                             : underscore - start));
        if (underscore == std::string::npos) break;
        name += '_';
        start = underscore + 1;
    }
    outputBaseName = name;
}

void CollectorApp::saveMaskMap() {
    try {
        SaveMapFile(maskMapPath, maskMap.get());
    } catch (const MaskMapError& e) {
        writeConsole("ERROR: Couldn't use the mask map file '" + maskMapPath + "': it " + e.what() + ".\n");
        exitProgram(1);
    }
}
