#ifndef SEL_IPMI_TRANSPORT_H
#define SEL_IPMI_TRANSPORT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One request to the management controller and what came back. The decoder
// and the reader see only this; the OS (or a script) lies behind it.
struct IpmiReply {
    enum class Outcome {
        Answered,   // completionCode and data are the controller's
        NoReply,    // nothing within the bound on one reply
        Failed,     // the driver refused the request; detail says why
    };
    Outcome outcome = Outcome::NoReply;
    uint8_t completionCode = 0;
    std::vector<uint8_t> data;   // after the completion code
    std::string detail;
};

class IpmiTransport {
public:
    virtual ~IpmiTransport() = default;
    virtual IpmiReply request(uint8_t netfn, uint8_t cmd, const std::vector<uint8_t>& data) = 0;
};

// What opening the transport gave: a transport, or none and why. A missing
// driver or controller is usual (a note); a bad script is a fault (a problem).
struct OpenedTransport {
    std::unique_ptr<IpmiTransport> transport;
    std::string note;
    std::string problem;
};

namespace ipmi {

// The scripted controller of WYX_IPMI_SCRIPT when the variable is set,
// otherwise the OS's own IPMI driver.
OpenedTransport OpenTransport();

// The OS's driver (os/<platform>/system_transport.cpp).
OpenedTransport OpenSystemTransport();

}  // namespace ipmi

#endif
