#ifndef SEL_DEVICE_TRANSPORT_H
#define SEL_DEVICE_TRANSPORT_H

#include <linux/ipmi.h>

#include <memory>

#include "ipmi_transport.h"

// The kernel driver's three calls, so the tests can stand in for a device.
struct IpmiDeviceCalls {
    int (*send)(int fd, ipmi_req* request);            // 0, or -1 with errno
    int (*wait)(int fd, int milliseconds);             // > 0 readable, 0 timed out, -1 with errno
    int (*receive)(int fd, ipmi_recv* reply);          // 0, or -1 with errno
};

// The calls of the real device.
const IpmiDeviceCalls& KernelDeviceCalls();

// A transport over an open IPMI device; it closes fd when destroyed (fd < 0:
// nothing to close). Each reply is awaited replyBoundMs at most.
std::unique_ptr<IpmiTransport> MakeDeviceTransport(int fd, const IpmiDeviceCalls& calls, int replyBoundMs);

#endif
