// The application object and the order of the run.
#include "collector_app.h"

#include <iostream>

#include "banner.h"
#include "masker.h"
#include "minidumper.h"
#include "terminal.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/output_file.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/progress.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"

CollectorApp::CollectorApp()
    : htmlWriter(nullptr), textWriter(nullptr), xmlWriter(nullptr), versionChecker(nullptr),
      includeMode(false), createOutputDir(false), noPrompt(false), writeXml(true), writeText(false),
      writeHtml(false), upload(false), website(false), showUsage(false), dumpXml(false) {}

CollectorApp::~CollectorApp() { SetProgressSink(nullptr); }

int CollectorApp::run(int argc, char** argv) {
    const char* programName = argc > 0 && argv[0] ? argv[0] : "norbix";
    RemoveTemporariesOnInterruption();
    std::cout << kVersionLine << kLegalNotice;
    // Through a file or a pipe the console text stays exactly the messages.
    if (stdoutIsTerminal()) SetProgressSink(&progressLine);

    writeConsole("Loading plug-ins.");
    try {
        TRootObject::GetPluginManager()->LoadPlugins();
    } catch (const TWYXException& e) {
        writeConsole(std::string("ERROR: LoadPlugins returned exception code ") +
                     wyxTranslateStatusCode(e.GetStatus()) + "\n");
        exitProgram(1);
    }
    writeConsole("\n");

    findWriters();
    parseCommandLine(argc, argv);
    if (showUsage) {
        writeConsole("\n");
        printUsage(programName);
        exitProgram(1);
    }
    echoCommandLine(argc, argv);

    setupOutputDirectory(programName);
    startConsoleLog();
    checkWriters();
    checkOptions(programName);
    handleWebsite();
    selectPlugins();
    prepareMasking();
    theMiniDumper().installCrashHandler((outputDir + TOSSpecific::kFileSeparator).c_str());

    const std::string dump = dumpPath();
    if (!dump.empty()) writeConsole("Writing OSK data after each plugin runs to file:\n" + dump + "\n\n");

    TContainer* container;
    if (inputFile.empty()) {
        container = TRootObject::GetPluginManager()->GetContainer();
        runCollection(container, dump);
        markComputerSystem(container);
    } else {
        container = readInputFile();
    }
    runAnalysis(container);
    if (!mediaDir.empty()) runVersionCheck(container, mediaDir);
    const int status = writeOutputs(container, dump);
    if (AbandonedQueryCount() > 0) endProcess(status);
    return status;
}
