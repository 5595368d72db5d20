// The Linux kernel's IPMI driver: its character device and the send and
// receive requests of its interface header.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "device_transport.h"

namespace {

const char* const kDevices[] = {"/dev/ipmi0", "/dev/ipmi/0", "/dev/ipmidev/0"};
// The controller answers in milliseconds; a busy one within a few seconds.
const int kReplyBoundMs = 5000;
const size_t kMaxReply = 272;   // more than any reply of the standard

int kernelSend(int fd, ipmi_req* request) { return ::ioctl(fd, IPMICTL_SEND_COMMAND, request); }

int kernelWait(int fd, int milliseconds) {
    pollfd wait{fd, POLLIN, 0};
    return ::poll(&wait, 1, milliseconds);
}

int kernelReceive(int fd, ipmi_recv* reply) { return ::ioctl(fd, IPMICTL_RECEIVE_MSG_TRUNC, reply); }

class DeviceTransport : public IpmiTransport {
public:
    DeviceTransport(int fd, const IpmiDeviceCalls& calls, int replyBoundMs)
        : fd_(fd), calls_(calls), replyBoundMs_(replyBoundMs) {}
    ~DeviceTransport() override {
        if (fd_ >= 0) ::close(fd_);
    }
    DeviceTransport(const DeviceTransport&) = delete;
    DeviceTransport& operator=(const DeviceTransport&) = delete;

    IpmiReply request(uint8_t netfn, uint8_t cmd, const std::vector<uint8_t>& data) override {
        IpmiReply reply;
        ipmi_system_interface_addr bmc{};
        bmc.addr_type = IPMI_SYSTEM_INTERFACE_ADDR_TYPE;
        bmc.channel = IPMI_BMC_CHANNEL;
        std::vector<uint8_t> body(data);
        ipmi_req req{};
        req.addr = reinterpret_cast<unsigned char*>(&bmc);
        req.addr_len = sizeof bmc;
        req.msgid = ++msgid_;
        req.msg.netfn = netfn;
        req.msg.cmd = cmd;
        req.msg.data = body.empty() ? nullptr : body.data();
        req.msg.data_len = static_cast<unsigned short>(body.size());
        if (calls_.send(fd_, &req) < 0) {
            reply.outcome = IpmiReply::Outcome::Failed;
            reply.detail = std::string("the driver refused the request: ") + std::strerror(errno);
            return reply;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(replyBoundMs_);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0) return reply;   // NoReply
            const int ready = calls_.wait(fd_, static_cast<int>(left));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return reply;
            unsigned char buffer[kMaxReply];
            ipmi_addr from{};
            ipmi_recv recv{};
            recv.addr = reinterpret_cast<unsigned char*>(&from);
            recv.addr_len = sizeof from;
            recv.msg.data = buffer;
            recv.msg.data_len = sizeof buffer;
            if (calls_.receive(fd_, &recv) < 0) {
                if (errno == EAGAIN || errno == EINTR) continue;
                reply.outcome = IpmiReply::Outcome::Failed;
                reply.detail = std::string("the driver gave no reply: ") + std::strerror(errno);
                return reply;
            }
            // A late answer to an earlier request, or an event: not ours.
            if (recv.recv_type != IPMI_RESPONSE_RECV_TYPE || recv.msgid != msgid_) continue;
            const size_t length = std::min<size_t>(recv.msg.data_len, sizeof buffer);
            if (length == 0) continue;
            reply.outcome = IpmiReply::Outcome::Answered;
            reply.completionCode = buffer[0];
            reply.data.assign(buffer + 1, buffer + length);
            return reply;
        }
    }

private:
    const int fd_;
    const IpmiDeviceCalls& calls_;
    const int replyBoundMs_;
    long msgid_ = 0;
};

}  // namespace

const IpmiDeviceCalls& KernelDeviceCalls() {
    static const IpmiDeviceCalls calls = {kernelSend, kernelWait, kernelReceive};
    return calls;
}

std::unique_ptr<IpmiTransport> MakeDeviceTransport(int fd, const IpmiDeviceCalls& calls, int replyBoundMs) {
    return std::make_unique<DeviceTransport>(fd, calls, replyBoundMs);
}

namespace ipmi {

OpenedTransport OpenSystemTransport() {
    OpenedTransport opened;
    for (const char* path : kDevices) {
        const int fd = ::open(path, O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            opened.transport = MakeDeviceTransport(fd, KernelDeviceCalls(), kReplyBoundMs);
            return opened;
        }
        // A device that is there but refused (not root, say) costs the log: say so.
        if (errno != ENOENT && errno != ENODEV && errno != ENXIO) {
            opened.problem = std::string("the IPMI device ") + path + " cannot be opened: " + std::strerror(errno) +
                             "; the SEL was not read";
            return opened;
        }
    }
    opened.note = "No IPMI driver (/dev/ipmi0, /dev/ipmi/0, /dev/ipmidev/0 are absent)";
    return opened;
}

}  // namespace ipmi
