#ifndef SEL_SCRIPTED_CONTROLLER_H
#define SEL_SCRIPTED_CONTROLLER_H

#include <deque>
#include <map>
#include <string>
#include <utility>

#include "ipmi_transport.h"

// A management controller that answers from a script, for the tests of both
// targets. Text, one directive a line, '#' starts a comment, numbers are hex
// pairs separated by blanks:
//
//     none                          no controller at all
//     reply NETFN CMD CC [DATA..]   the next answer to that command
//     reply NETFN CMD silent        the next request of it gets no answer
//
// Each command's answers are given in the order listed; a command with none
// left (or never listed) gets no answer, as a controller that stopped would.
class ScriptedController : public IpmiTransport {
public:
    // False (and *error with the line number) for a malformed script.
    static bool Parse(const std::string& text, ScriptedController* controller, bool* present, std::string* error);

    IpmiReply request(uint8_t netfn, uint8_t cmd, const std::vector<uint8_t>& data) override;

private:
    std::map<std::pair<uint8_t, uint8_t>, std::deque<IpmiReply> > replies_;
};

namespace ipmi {

// The largest script read: far more than 65,536 records take.
const size_t kScriptMax = 64u << 20;

OpenedTransport OpenScriptedController(const std::string& path);

}  // namespace ipmi

#endif
