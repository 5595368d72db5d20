// /website, the input file, and the outputs at the end of a run.
#include <cstdio>

#include "collector_app.h"
#include "masker.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_call.h"
#include "wyxcore/safe_name.h"
#include "wyxcore/status.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

void CollectorApp::handleWebsite() {
    if (!website) return;
    noPrompt = true;
    writeHtml = true;
    writeXml = false;
    if (inputFile.empty()) {
        writeConsole("ERROR: Input filename not specified.\n\n");
        exitProgram(1);
    }
    if (!htmlWriter) {
        writeConsole("ERROR: Couldn't find HTML plug-in.\n");
        exitProgram(1);
    }
    std::string name = inputFile;
    if (endsWith(name, ".xml.gz")) {
        name.erase(name.size() - 7);
    } else if (endsWith(name, ".xml")) {
        name.erase(name.size() - 4);
    } else {
        writeConsole("ERROR: Input filename doesn't end in '.xml.gz' or '.xml'.\n\n");
        exitProgram(1);
    }
    const size_t separator = name.rfind(TOSSpecific::kFileSeparator);
    if (separator != std::string::npos) name.erase(0, separator + TOSSpecific::kFileSeparator.size());
    // What is left can still climb ("..") or hold another separator: only a
    // safe part of it names the directory.
    outputBaseName = SafeNamePart(name);
}

TContainer* CollectorApp::readInputFile() {
    writeConsole("Reading input file.\n");
    // Lives until the process ends, like the framework's collection container.
    static TContainer* container = nullptr;
    try {
        container = new TContainer();
        container->PopulateContainerFromFile(inputFile);
    } catch (const TWYXException& e) {
        if (e.GetStatus() == kWyxFileNotFound)
            writeConsole("ERROR: File '" + inputFile + "' not found.\n");
        else
            writeConsole(std::string("ERROR: PopulateContainerFromFile returned exception code ") +
                         wyxTranslateStatusCode(e.GetStatus()) + "\n");
        exitProgram(1);
    }
    return container;
}

namespace {

// Hands the container to a writer plug-in; a writer without the write interface
// writes nothing. Returns the failure message, empty on success.
std::string writeWith(IPlugin* writer, TContainer* container, const std::string& path, const char* kind) {
    IPluginWriteCallbacks* callbacks = dynamic_cast<IPluginWriteCallbacks*>(writer->GetCallbacks());
    if (!callbacks) return std::string();
    try {
        CallPlugin(writer->GetFileName(), kWyxPluginFailed, [&] { callbacks->WriteContainer(container, path); });
    } catch (const TWYXException& e) {
        if (e.GetStatus() == kWyxAccessDenied)
            return std::string("ERROR: Access denied trying to write ") + kind + " files.\n";
        return std::string("ERROR: ") + kind + " WriteContainer returned exception code " +
               wyxTranslateStatusCode(e.GetStatus()) + "\n";
    }
    return std::string();
}

}  // namespace

int CollectorApp::writeOutputs(TContainer* container, const std::string& dump) {
    if (masker) maskContainer(container);
    if (outputBaseName.empty()) makeOutputName(container);
    const std::string base = outputDir + TOSSpecific::kFileSeparator + outputBaseName;
    const std::string xmlPath = base + ".xml.gz";
    if (writeXml) writeXmlWithRunLog(container, true, xmlPath);
    else if (masker) saveMaskMap();
    if (!dump.empty()) std::remove(dump.c_str());
    if (writeHtml) {
        writeConsole("Writing HTML files to directory " + base + "\n");
        const std::string failure = writeWith(htmlWriter, container, base, "HTML");
        if (!failure.empty()) {
            writeConsole(failure);
            exitProgram(1);
        }
    }
    if (writeText) {
        writeConsole("Writing Text report file " + base + ".txt\n");
        const std::string failure = writeWith(textWriter, container, base, "Text");
        if (!failure.empty()) {
            writeConsole(failure);
            exitProgram(1);
        }
    }
    if (upload && !uploadOutput(xmlPath)) exitProgram(1);
    // Console lines masked since the first save may have named new values.
    if (masker && maskMap->Changed()) saveMaskMap();
    writeConsole("OSK finished; exiting.\n");
    if (consoleLog.IsOpen()) {
        consoleLog.Close();
        std::remove(consoleLogPath.c_str());
    }
    return 0;
}
