#include "known_sources.h"

#include <cstdlib>

#include "host_files.h"
#include "machine_facts.h"
#include "masker.h"
#include "wyxcore/bounded_read.h"

namespace {

const size_t kPasswdMax = 1u << 20;
const unsigned long kFirstPersonUid = 1000;
const unsigned long kNobodyUid = 65534;

template <typename Each>
void eachLine(const std::string& text, Each each) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        each(line);
        start = end + 1;
    }
}

}  // namespace

void LearnFromMachine(Masker* masker) {
    masker->Learn(MaskKind::kHost, machine::HostName());
    for (const char* variable : {"USER", "USERNAME", "LOGNAME"}) {
        const char* value = std::getenv(variable);
        if (value) masker->Learn(MaskKind::kUser, value);
    }
    std::string passwd;
    if (!hostfs::ReadFile("/etc/passwd", kPasswdMax, &passwd)) return;
    eachLine(passwd, [masker](const std::string& line) {
        const size_t first = line.find(':');
        const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        const size_t third = second == std::string::npos ? second : line.find(':', second + 1);
        if (third == std::string::npos) return;
        char* end = nullptr;
        const std::string uidText = line.substr(second + 1, third - second - 1);
        const unsigned long uid = std::strtoul(uidText.c_str(), &end, 10);
        if (uidText.empty() || *end != '\0' || uid < kFirstPersonUid || uid == kNobodyUid) return;
        masker->Learn(MaskKind::kUser, line.substr(0, first));
    });
}

void LearnFromWordsFile(Masker* masker, const std::string& path) {
    const std::string text = ReadBoundedFile(path, kWordsFileMax);
    eachLine(text, [masker](const std::string& line) {
        if (line.empty() || line[0] == '#') return;
        for (unsigned char c : line)
            if (c < 0x20 && c != '\t') return;
        static const struct {
            const char* prefix;
            MaskKind kind;
        } kPrefixes[] = {{"host:", MaskKind::kHost}, {"user:", MaskKind::kUser}, {"serial:", MaskKind::kSerial}};
        for (const auto& prefix : kPrefixes) {
            const std::string head = prefix.prefix;
            if (line.compare(0, head.size(), head) == 0) {
                masker->Learn(prefix.kind, line.substr(head.size()));
                return;
            }
        }
        masker->Learn(MaskKind::kWord, line);
    });
}
