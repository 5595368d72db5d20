#include <gtest/gtest.h>

#include "software_facts.h"

namespace {

TEST(DpkgStatus, InstalledPackagesOnly) {
    const struct {
        const char* what;
        std::string text;
        size_t limit;
        std::vector<std::string> found;   // "name version"
    } cases[] = {
        {"two installed",
         "Package: zlib1g\nStatus: install ok installed\nVersion: 1:1.2.13.dfsg-1\n\n"
         "Package: bash\nStatus: install ok installed\nDescription: shell\n continued: line\nVersion: 5.2.15-2\n",
         10, {"zlib1g 1:1.2.13.dfsg-1", "bash 5.2.15-2"}},
        {"removed with its configuration left", "Package: a\nStatus: deinstall ok config-files\nVersion: 1\n\n", 10, {}},
        {"not installed", "Package: a\nStatus: purge ok not-installed\nVersion: 1\n", 10, {}},
        {"half installed", "Package: a\nStatus: install reinstreq half-installed\nVersion: 1\n", 10, {}},
        {"no version", "Package: a\nStatus: install ok installed\n\n", 10, {}},
        {"CRLF line ends", "Package: a\r\nStatus: install ok installed\r\nVersion: 2\r\n\r\n", 10, {"a 2"}},
        {"capped", "Package: a\nStatus: install ok installed\nVersion: 1\n\nPackage: b\nStatus: install ok installed\n"
                   "Version: 1\n", 1, {"a 1"}},
        {"cut in a stanza", "Package: a\nStatus: install ok installed\nVers", 10, {}},
        {"binary junk", std::string("\0\xff\n\n:\n", 6), 10, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> found;
        for (const SoftwareFacts& p : software::ParseDpkgStatus(c.text, c.limit)) {
            EXPECT_EQ("Package", p.kind) << c.what;
            found.push_back(p.name + " " + p.version);
        }
        EXPECT_EQ(c.found, found) << c.what;
    }
}

}  // namespace
