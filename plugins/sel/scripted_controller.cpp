#include "scripted_controller.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "wyxcore/bounded_read.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

bool hexByte(const std::string& word, uint8_t* value) {
    if (word.size() != 2) return false;
    char* end = nullptr;
    const unsigned long number = std::strtoul(word.c_str(), &end, 16);
    if (*end || !std::isxdigit(static_cast<unsigned char>(word[0]))) return false;
    *value = static_cast<uint8_t>(number);
    return true;
}

bool parseReply(std::istringstream& words, uint8_t* netfn, uint8_t* cmd, IpmiReply* reply) {
    std::string word;
    if (!(words >> word) || !hexByte(word, netfn) || !(words >> word) || !hexByte(word, cmd)) return false;
    if (!(words >> word)) return false;
    if (word == "silent") {
        reply->outcome = IpmiReply::Outcome::NoReply;
        return !(words >> word);
    }
    reply->outcome = IpmiReply::Outcome::Answered;
    if (!hexByte(word, &reply->completionCode)) return false;
    uint8_t byte;
    while (words >> word) {
        if (!hexByte(word, &byte)) return false;
        reply->data.push_back(byte);
    }
    return true;
}

}  // namespace

bool ScriptedController::Parse(const std::string& text, ScriptedController* controller, bool* present,
                               std::string* error) {
    *present = true;
    std::istringstream lines(text);
    std::string line;
    for (size_t number = 1; std::getline(lines, line); ++number) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string directive;
        if (!(words >> directive)) continue;
        bool ok = false;
        if (directive == "none") {
            *present = false;
            ok = !(words >> directive);
        } else if (directive == "reply") {
            uint8_t netfn = 0, cmd = 0;
            IpmiReply reply;
            ok = parseReply(words, &netfn, &cmd, &reply);
            if (ok) controller->replies_[{netfn, cmd}].push_back(std::move(reply));
        }
        if (!ok) {
            *error = "line " + std::to_string(number) + " is not understood";
            return false;
        }
    }
    return true;
}

IpmiReply ScriptedController::request(uint8_t netfn, uint8_t cmd, const std::vector<uint8_t>&) {
    auto found = replies_.find({netfn, cmd});
    if (found == replies_.end() || found->second.empty()) return IpmiReply();
    IpmiReply reply = std::move(found->second.front());
    found->second.pop_front();
    return reply;
}

namespace ipmi {

OpenedTransport OpenScriptedController(const std::string& path) {
    OpenedTransport opened;
    std::string text;
    try {
        text = ReadBoundedFile(path, kScriptMax);
    } catch (const TWYXException& e) {
        opened.problem = "WYX_IPMI_SCRIPT " + path +
                         (e.GetStatus() == kWyxFileTooLarge ? ": is larger than any script (64 MiB)" : ": cannot be read");
        return opened;
    }
    auto controller = std::make_unique<ScriptedController>();
    bool present = true;
    std::string error;
    if (!ScriptedController::Parse(text, controller.get(), &present, &error)) {
        opened.problem = "WYX_IPMI_SCRIPT " + path + ": " + error;
    } else if (!present) {
        opened.note = "No IPMI management controller (scripted)";
    } else {
        opened.transport = std::move(controller);
    }
    return opened;
}

OpenedTransport OpenTransport() {
    const char* script = std::getenv("WYX_IPMI_SCRIPT");
    if (script && *script) return OpenScriptedController(script);
    return OpenSystemTransport();
}

}  // namespace ipmi
