#ifndef NORBIX_COLLECTOR_APP_H
#define NORBIX_COLLECTOR_APP_H

#include <memory>
#include <string>
#include <vector>

#include "console_progress.h"
#include "wyxcore/datetime.h"
#include "wyxcore/transcript_file.h"

class IPlugin;
class Masker;
class PseudonymMap;
class TContainer;

// The program's single application object: the run's options, the writer
// plug-ins found, the output names and the console log.
class CollectorApp {
public:
    CollectorApp();
    ~CollectorApp();

    // Returns 0 after a complete run; every error ends the process itself, and
    // so does a run in which a collector was abandoned.
    int run(int argc, char** argv);

    // Console tee and error stop.
    void writeConsole(std::string message);
    [[noreturn]] void exitProgram(int status);
    // The one way out once the console log is handled: without destructors when
    // an abandoned collector's thread may still run.
    [[noreturn]] void endProcess(int status);
    void printUsage(const char* programName);

    // Command line.
    void parseCommandLine(int argc, char** argv);
    void echoCommandLine(int argc, char** argv);
    void checkOptions(const char* programName);

    // Run setup.
    void findWriters();
    void setupOutputDirectory(const char* programName);
    void createDirectoryPath(const std::string& path);
    void refuseForeignDirectory(const std::string& directory);
    void startConsoleLog();
    void checkWriters();
    std::string timeStamp() const;
    void makeOutputName(TContainer* container);

    // Plug-in passes.
    void selectPlugins();
    std::string dumpPath() const;
    void runCollection(TContainer* container, const std::string& dumpPath);
    void runCollectorPass(TContainer* container, int pass, const std::string& dumpPath);
    // RunQuery of one collector, and a run-log record of what it added.
    void runRecorded(IPlugin* plugin, TContainer* container, const std::vector<std::string>& classes, int pass,
                     const std::string& step);
    // A step of what was not loaded for each library file the plug-in manager refused.
    void recordRefusedPlugins(TContainer* container);
    void markComputerSystem(TContainer* container);
    void runAnalysis(TContainer* container);
    void runVersionCheck(TContainer* container, const std::string& directory);
    bool isSelected(const std::string& selectionName) const;

    // Outputs.
    void handleWebsite();
    TContainer* readInputFile();
    int writeOutputs(TContainer* container, const std::string& dumpPath);
    void writeXmlWithRunLog(TContainer* container, bool announce, std::string xmlPath);
    bool uploadOutput(std::string xmlPath);

    // Masking (WYX_MASK): the map and the words read before collection, the
    // container masked before any output, the map saved before the first.
    void prepareMasking();
    void maskConsoleLog();
    void maskContainer(TContainer* container);
    void saveMaskMap();

    IPlugin* htmlWriter;
    IPlugin* textWriter;
    IPlugin* xmlWriter;
    IPlugin* versionChecker;
    std::string outputDir;
    std::string inputFile;
    std::string outputBaseName;
    std::string mediaDir;
    std::string consoleLogPath;
    TCIMDateTime startTime;
    TTranscriptFile consoleLog;
    ConsoleProgress progressLine;
    bool includeMode;
    std::vector<std::string> pluginNames;
    bool createOutputDir;
    bool noPrompt;
    bool writeXml;
    bool writeText;
    bool writeHtml;
    bool upload;
    bool website;
    bool showUsage;
    bool dumpXml;
    std::string maskMapPath;
    std::unique_ptr<PseudonymMap> maskMap;
    std::unique_ptr<Masker> masker;
};

#endif
