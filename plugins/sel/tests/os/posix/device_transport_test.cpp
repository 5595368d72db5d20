// The Linux device transport against a stand-in for the kernel driver: what
// it sends, which replies it takes as its own, and how it fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "device_transport.h"

namespace {

// One thing the driver hands back after the request.
struct Incoming {
    int receiveErrno = 0;             // not 0: the receive fails so
    int recvType = IPMI_RESPONSE_RECV_TYPE;
    long msgidDelta = 0;              // 0: the answer to this request; -1: to the one before
    std::vector<uint8_t> bytes;       // completion code, then data
    unsigned short reportedLength = 0;   // 0: the bytes' length
};

struct Driver {
    int sendErrno = 0;
    std::deque<Incoming> incoming;    // none left: the wait times out
    long lastMsgid = 0;
    std::vector<uint8_t> sentData;
    int sentNetfn = -1, sentCmd = -1, sentAddrType = -1, sentChannel = -1;
} driver;

int fakeSend(int, ipmi_req* request) {
    if (driver.sendErrno) {
        errno = driver.sendErrno;
        return -1;
    }
    driver.lastMsgid = request->msgid;
    driver.sentNetfn = request->msg.netfn;
    driver.sentCmd = request->msg.cmd;
    driver.sentData.assign(request->msg.data, request->msg.data + request->msg.data_len);
    const auto* addr = reinterpret_cast<const ipmi_system_interface_addr*>(request->addr);
    driver.sentAddrType = addr->addr_type;
    driver.sentChannel = addr->channel;
    return 0;
}

int fakeWait(int, int) { return driver.incoming.empty() ? 0 : 1; }

int fakeReceive(int, ipmi_recv* reply) {
    const Incoming in = driver.incoming.front();
    driver.incoming.pop_front();
    if (in.receiveErrno) {
        errno = in.receiveErrno;
        return -1;
    }
    reply->recv_type = in.recvType;
    reply->msgid = driver.lastMsgid + in.msgidDelta;
    const size_t copied = std::min<size_t>(in.bytes.size(), reply->msg.data_len);
    if (copied) std::memcpy(reply->msg.data, in.bytes.data(), copied);
    reply->msg.data_len = in.reportedLength ? in.reportedLength : static_cast<unsigned short>(in.bytes.size());
    return 0;
}

const IpmiDeviceCalls kFake = {fakeSend, fakeWait, fakeReceive};

Incoming ours(std::vector<uint8_t> bytes) {
    Incoming in;
    in.bytes = std::move(bytes);
    return in;
}

struct Case {
    const char* name;
    int sendErrno;
    std::vector<Incoming> incoming;
    IpmiReply::Outcome outcome;
    int completionCode;
    std::vector<uint8_t> data;
    const char* detail;
};

Incoming late() {
    Incoming in = ours({0x00, 0xEE});
    in.msgidDelta = -1;
    return in;
}

Incoming event() {
    Incoming in = ours({0x00, 0xEE});
    in.recvType = IPMI_ASYNC_EVENT_RECV_TYPE;
    return in;
}

Incoming failing(int error) {
    Incoming in;
    in.receiveErrno = error;
    return in;
}

const Case kCases[] = {
    {"answered", 0, {ours({0x00, 0x01, 0x02})}, IpmiReply::Outcome::Answered, 0x00, {0x01, 0x02}, ""},
    {"error completion code", 0, {ours({0xCB})}, IpmiReply::Outcome::Answered, 0xCB, {}, ""},
    {"a late answer and an event are not ours", 0, {late(), event(), ours({0x00, 0x07})},
     IpmiReply::Outcome::Answered, 0x00, {0x07}, ""},
    {"an empty reply is skipped", 0, {ours({}), ours({0x00, 0x05})}, IpmiReply::Outcome::Answered, 0x00, {0x05}, ""},
    {"a receive that would block is tried again", 0, {failing(EAGAIN), ours({0x00})}, IpmiReply::Outcome::Answered,
     0x00, {}, ""},
    {"a length beyond the buffer is held to it", 0,
     {[] {
         Incoming in = ours(std::vector<uint8_t>(272, 0x00));
         in.reportedLength = 4000;
         return in;
     }()},
     IpmiReply::Outcome::Answered, 0x00, std::vector<uint8_t>(271, 0x00), ""},
    {"nothing comes", 0, {}, IpmiReply::Outcome::NoReply, 0, {}, ""},
    {"only others' replies come", 0, {late(), event()}, IpmiReply::Outcome::NoReply, 0, {}, ""},
    {"the driver refuses the request", EBUSY, {}, IpmiReply::Outcome::Failed, 0, {},
     "the driver refused the request: Device or resource busy"},
    {"the receive fails", 0, {failing(EIO)}, IpmiReply::Outcome::Failed, 0, {},
     "the driver gave no reply: Input/output error"},
};

class DeviceTransportReply : public ::testing::TestWithParam<Case> {};

TEST_P(DeviceTransportReply, TakesOnlyItsOwnAnswer) {
    const Case& c = GetParam();
    driver = Driver();
    driver.sendErrno = c.sendErrno;
    driver.incoming.assign(c.incoming.begin(), c.incoming.end());
    auto transport = MakeDeviceTransport(-1, kFake, 1000);
    const IpmiReply reply = transport->request(0x0A, 0x43, {0x01, 0x00, 0x02, 0x00, 0x00, 0xFF});
    EXPECT_EQ(static_cast<int>(reply.outcome), static_cast<int>(c.outcome));
    EXPECT_EQ(reply.completionCode, c.completionCode);
    EXPECT_EQ(reply.data, c.data);
    EXPECT_EQ(reply.detail, c.detail);
    if (!c.sendErrno) {
        EXPECT_EQ(driver.sentNetfn, 0x0A);
        EXPECT_EQ(driver.sentCmd, 0x43);
        EXPECT_EQ(driver.sentData, (std::vector<uint8_t>{0x01, 0x00, 0x02, 0x00, 0x00, 0xFF}));
        EXPECT_EQ(driver.sentAddrType, IPMI_SYSTEM_INTERFACE_ADDR_TYPE);
        EXPECT_EQ(driver.sentChannel, IPMI_BMC_CHANNEL);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceTransportReply, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(DeviceTransportRequests, EachRequestHasItsOwnMessageId) {
    driver = Driver();
    auto transport = MakeDeviceTransport(-1, kFake, 1000);
    driver.incoming.push_back(ours({0x00}));
    transport->request(0x06, 0x01, {});
    const long first = driver.lastMsgid;
    EXPECT_TRUE(driver.sentData.empty());
    // The first request's answer arriving now is stale: the second waits for its own.
    driver.incoming.push_back(late());
    driver.incoming.push_back(ours({0x00, 0x09}));
    const IpmiReply second = transport->request(0x0A, 0x48, {});
    EXPECT_NE(driver.lastMsgid, first);
    EXPECT_EQ(second.data, std::vector<uint8_t>{0x09});
}

}  // namespace
