// The console tee, the error stop and the usage text.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "collector_app.h"
#include "default_directory.h"
#include "masker.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/query_manager.h"

void CollectorApp::writeConsole(std::string message) {
    if (message.empty()) return;
    progressLine.beforeMessage();
    // The person at the console sees the real names; the file, which can
    // outlive the run, gets the masked text.
    if (consoleLog.IsOpen()) consoleLog.Write(masker ? masker->MaskText(message) : message);
    std::cout << message;
    progressLine.afterMessage(message);
}

void CollectorApp::exitProgram(int status) {
    if (!noPrompt) {
        writeConsole("\nPress enter to continue...\n");
        std::string word;
        std::cin >> std::noskipws >> word;
    }
    if (consoleLog.IsOpen()) {
        consoleLog.Close();
        std::remove(consoleLogPath.c_str());
    }
    endProcess(status);
}

void CollectorApp::endProcess(int status) {
    std::cout.flush();
    if (AbandonedQueryCount() > 0) TOSSpecific::EndProcessNow(status);
    std::exit(status);
}

void CollectorApp::printUsage(const char* programName) {
    writeConsole("Syntax:\n");
    writeConsole(std::string(programName ? programName : "") + " [options]\n\n");
    writeConsole("Options:\n");
    writeConsole("/?, /h     Display help for OSK command-line options.\n");
    writeConsole("/b         Run in batch mode.\n");
    writeConsole("/c         Create directory specified by /d option.\n");
    writeConsole("/d <dir>   Place OSK output files in the specified directory rather than in the\n");
    writeConsole("           default location, which is ");
    writeConsole(defaultOutputDirectory() + ".\n");
    writeConsole("/f         Collect the full TRAV log.\n");
    writeConsole("/i <file>  Read input from <file> rather than collecting data from the local\n");
    writeConsole("           server.\n");
    writeConsole("/t         Transfer collected data to VARN Service & Support.\n");
    if (versionChecker) writeConsole("/u <dir>   Path to Kalvix CD or CD image.\n");
    if (htmlWriter) writeConsole("/v         Create HTML output files.\n");
    writeConsole("/x         Do not create a compressed XML file.\n");
    writeConsole("\nNote: All options must be separated with one or more spaces.\n");
}
