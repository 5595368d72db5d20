// Command-line parsing, its echo into the core log, and the option checks.
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "collector_app.h"
#include "wyxcore/logger.h"
#include "wyxcore/root_object.h"

namespace {

enum Option { kNone, kUsage, kBatch, kCreate, kDirectory, kFull, kInput, kTransfer, kMedia, kHtml, kNoXml };

const int kFirstCode = 63;   // '?'
const int kLastCode = 120;   // 'x'

// The 58 selecting characters from '?' to 'x'; both cases of a letter select
// the same option.
Option lookup(unsigned char code) {
    static Option table[kLastCode - kFirstCode + 1];
    static bool filled = false;
    if (!filled) {
        const struct { char letter; Option option; } options[] = {
            {'?', kUsage}, {'h', kUsage}, {'b', kBatch}, {'c', kCreate}, {'d', kDirectory}, {'f', kFull},
            {'i', kInput}, {'t', kTransfer}, {'u', kMedia}, {'v', kHtml}, {'x', kNoXml}};
        for (const auto& o : options) {
            table[o.letter - kFirstCode] = o.option;
            if (o.letter >= 'a' && o.letter <= 'z') table[o.letter - 'a' + 'A' - kFirstCode] = o.option;
        }
        filled = true;
    }
    if (code < kFirstCode || code > kLastCode) return kNone;
    return table[code - kFirstCode];
}

char fullLogsAssignment[] = "WYX_RETRIEVE_FULL_H8_LOGS=1";

}  // namespace

void CollectorApp::parseCommandLine(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "dirmode") == 0) {
        noPrompt = true;
        outputBaseName = "dir_temp";
        outputDir = argc > 2 ? argv[2] : "";
        return;
    }
    for (int i = 1; i < argc && !showUsage; ++i) {
        const std::string arg = argv[i];
        if (arg == "/website") {
            website = true;
            continue;
        }
        if (arg == "/text") {
            writeText = true;
            continue;
        }
        if (arg == "/dumpxml") {
            dumpXml = true;
            continue;
        }
        const Option option = arg.size() == 2 && (arg[0] == '-' || arg[0] == '/')
                                  ? lookup(static_cast<unsigned char>(arg[1]))
                                  : kNone;
        std::string* value = nullptr;
        switch (option) {
        case kNone:
            std::cout << "\nERROR: Invalid option '" << arg << "'." << "\n";
            showUsage = true;
            break;
        case kUsage: showUsage = true; break;
        case kBatch: noPrompt = true; break;
        case kCreate: createOutputDir = true; break;
        case kDirectory: value = &outputDir; break;
        case kFull: putenv(fullLogsAssignment); break;
        case kInput: value = &inputFile; break;
        case kTransfer: upload = true; break;
        case kMedia: value = &mediaDir; break;
        case kHtml: writeHtml = true; break;
        case kNoXml: writeXml = false; break;
        }
        if (value) {
            if (i + 1 < argc) *value = argv[++i];
            else showUsage = true;
        }
    }
}

void CollectorApp::echoCommandLine(int argc, char** argv) {
    std::string text = "OSK was run with the following command line arguments: '";
    for (int i = 1; i < argc; ++i) {
        text += argv[i];
        text += " ";
    }
    text += "'.";
    TRootObject::GetCoreLogger()->Write(nullptr, kWyxLogStatus, text);
}

void CollectorApp::checkOptions(const char* programName) {
    if (upload && !writeXml) {
        writeConsole("ERROR: /t requires a compressed XML file be generated.  You can't specify\n");
        writeConsole("both /t and /x.\n\n");
    } else if (dumpXml) {
        if (inputFile.empty() && writeXml) return;
        writeConsole("ERROR: /dumpxml can't be used with /x or /i.\n\n");
    } else if (!writeXml && !writeHtml && !writeText) {
        writeConsole("ERROR: You should specify /v with /x.  Using /x alone will result in no output.\n\n");
    } else {
        return;
    }
    printUsage(programName);
    exitProgram(1);
}
