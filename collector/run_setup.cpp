// Output directory, start time, console log file, priority, writer checks and
// the names of the run's files.
#include <cstdio>
#include <iostream>

#include <boost/lexical_cast.hpp>

#include "banner.h"
#include "collector_app.h"
#include "default_directory.h"
#include "path_split.h"
#include "priority.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/root_object.h"
#include "wyxcore/safe_name.h"
#include "wyxcore/schema_helper.h"
#include "wyxcore/status.h"

void CollectorApp::setupOutputDirectory(const char* programName) {
    if (createOutputDir && outputDir.empty()) {
        std::cout << "ERROR: If you specify /c, you must also specify a directory with /d." << "\n\n";
        printUsage(programName);
        exitProgram(1);
    }
    const bool chosenHere = outputDir.empty();
    if (chosenHere) {
        outputDir = defaultOutputDirectory();
        createOutputDir = true;
    }
    bool exists = false;
    try {
        exists = TOSSpecific::DirExists(outputDir);
    } catch (const TWYXException& e) {
        if (e.GetStatus() == kWyxInvalidDirectory)
            std::cout << "ERROR: Invalid directory '" << outputDir << "' specified." << "\n";
        else
            std::cout << "ERROR: DirExists returned exception code " << wyxTranslateStatusCode(e.GetStatus())
                      << "\n";
        exitProgram(1);
    }
    if (!exists && !createOutputDir) {
        std::cout << "Directory '" << outputDir << "' doesn't exist." << "\n";
        std::cout << "Specify /c to have it created." << "\n";
        exitProgram(1);
    }
    if (!exists) createDirectoryPath(outputDir);
    // A directory the user named is the user's choice; the default one lies in
    // a place others can write to, where someone may have planted it.
    if (chosenHere) refuseForeignDirectory(outputDir);
}

void CollectorApp::refuseForeignDirectory(const std::string& directory) {
    const std::string problem = PrivateDirectoryProblem(directory);
    if (problem.empty()) return;
    std::cout << "ERROR: Refusing default directory '" << directory << "': it " << problem << "." << "\n";
    exitProgram(1);
}

void CollectorApp::createDirectoryPath(const std::string& directory) {
    try {
        std::string path;
        for (const std::string& component : splitPath(directory, TOSSpecific::kFileSeparator)) {
            path += component;
            // An empty path is the root that an absolute POSIX path starts from.
            if (!path.empty() && !TOSSpecific::DirExists(path)) TOSSpecific::CreateDir(path);
            path += TOSSpecific::kFileSeparator;
        }
    } catch (const TWYXException&) {
        std::cout << "Couldn't create directory '" << directory << "'." << "\n";
        exitProgram(1);
    }
}

std::string CollectorApp::timeStamp() const {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", startTime.GetYear(), startTime.GetMonth(),
                  startTime.GetDay(), startTime.GetHour(), startTime.GetMinute(), startTime.GetSecond());
    return stamp;
}

void CollectorApp::startConsoleLog() {
    startTime = TOSSpecific::GetLocalTime();
    consoleLogPath = outputDir + TOSSpecific::kFileSeparator + "OSK_Output_" + timeStamp() + ".txt";
    if (!consoleLog.Open(consoleLogPath)) {
        std::cout << "WARNING: Couldn't open file '" << consoleLogPath << "' for logging." << "\n\n";
    } else {
        consoleLog.Write(std::string(kVersionLine) + kLegalNotice + "Loading plug-ins.\n");
    }
    writeConsole("Logging console output to file " + consoleLogPath + "\n");

    writeConsole("Logging level set to " + LogTypeName(TRootObject::GetCoreLogger()->GetLevel()) + ".\n\n");

    unsigned long error = 0;
    if (!lowerProcessPriority(&error))
        writeConsole("WARNING: Couldn't set priority.  Error " + boost::lexical_cast<std::string>(error) + ".\n");
}

void CollectorApp::checkWriters() {
    const char* message = nullptr;
    if (writeXml && !xmlWriter) message = "ERROR: Couldn't find XML plug-in.\n";
    else if (!mediaDir.empty() && !versionChecker) message = "ERROR: Couldn't find Kalvix plug-in.\n";
    else if (writeHtml && !htmlWriter) message = "ERROR: Couldn't find HTML plug-in.\n";
    else if (writeText && !textWriter) message = "ERROR: Couldn't find Text plug-in.\n";
    if (!message) return;
    writeConsole(message);
    exitProgram(1);
}

void CollectorApp::makeOutputName(TContainer* container) {
    std::string model = "Unknown";
    std::string serial = "Unknown";
    try {
        model = TCIMSchemaHelper::GetMTM(container);
    } catch (const TWYXException&) {
    }
    try {
        serial = TCIMSchemaHelper::GetSerialNumber(container);
    } catch (const TWYXException&) {
    }
    // The values come from the firmware or a file: only a safe part of them
    // names a file; the container keeps them as read.
    outputBaseName = SafeNamePart(model) + "_" + SafeNamePart(serial) + "_" + timeStamp();
}
