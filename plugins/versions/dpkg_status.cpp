#include <sstream>

#include "host_files.h"
#include "linux_text.h"
#include "software_facts.h"

namespace software {

std::vector<SoftwareFacts> ParseDpkgStatus(const std::string& text, size_t limit) {
    std::vector<SoftwareFacts> packages;
    std::istringstream lines(text);
    std::string line;
    SoftwareFacts stanza;
    bool installed = false;
    auto finish = [&]() {
        if (installed && !stanza.name.empty() && !stanza.version.empty() && packages.size() < limit) {
            stanza.kind = "Package";
            packages.push_back(stanza);
        }
        stanza = SoftwareFacts();
        installed = false;
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            finish();
            continue;
        }
        if (line[0] == ' ' || line[0] == '\t') continue;   // a continued field
        std::string value;
        if (!(value = linuxtext::Field(line, "Package")).empty()) stanza.name = value;
        else if (!(value = linuxtext::Field(line, "Version")).empty()) stanza.version = value;
        else if (!(value = linuxtext::Field(line, "Maintainer")).empty()) stanza.manufacturer = value;
        else if (!(value = linuxtext::Field(line, "Status")).empty())
            // "want flag state": only the state "installed" is a package in place.
            installed = value.size() > 10 && value.compare(value.size() - 10, 10, " installed") == 0;
    }
    finish();
    return packages;
}

}  // namespace software
