// Feeds arbitrary command lines to CollectorApp::parseCommandLine. The input is
// the arguments after the program path, separated by NUL bytes. Parsing must
// never read past the arguments given and must leave the options consistent
// with what it was handed.
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "collector_app.h"

namespace {

bool isArgument(const std::vector<std::string>& args, const std::string& value) {
    for (size_t i = 1; i < args.size(); ++i)
        if (args[i] == value) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args{"norbix"};
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (size > 0) {
        size_t start = 0;
        for (;;) {
            const size_t end = input.find('\0', start);
            args.push_back(input.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    // Exactly argc pointers, no terminating null: a read past the last argument
    // is an overflow the sanitizer reports.
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);

    std::ostringstream shown;
    std::streambuf* console = std::cout.rdbuf(shown.rdbuf());
    CollectorApp app;
    app.parseCommandLine(static_cast<int>(argv.size()), argv.data());
    std::cout.rdbuf(console);

    if (args.size() > 1 && args[1] == "dirmode") {
        if (!app.noPrompt || app.outputBaseName != "dir_temp") __builtin_trap();
        if (app.outputDir != (args.size() > 2 ? args[2] : std::string())) __builtin_trap();
        return 0;
    }
    if (!app.outputBaseName.empty()) __builtin_trap();
    // Values come verbatim from the arguments.
    for (const std::string* value : {&app.outputDir, &app.inputFile, &app.mediaDir})
        if (!value->empty() && !isArgument(args, *value)) __builtin_trap();
    // Only an invalid option prints, and then it has set showUsage.
    const std::string text = shown.str();
    const std::string invalid = "\nERROR: Invalid option '";
    if (!text.empty() && (!app.showUsage || text.compare(0, invalid.size(), invalid) != 0)) __builtin_trap();
    return 0;
}
