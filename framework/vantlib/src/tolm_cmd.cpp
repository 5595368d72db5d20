#include "vantlib/TolmCmd.h"

#include <cstring>

TolmCmd::TolmCmd(unsigned char lun, unsigned char netFn, unsigned char command,
                 unsigned char subCommand, unsigned char* data, int dataLength, bool expectReply,
                 bool broadcast)
    : lun_(lun), netFn_(netFn), command_(command), subCommand_(subCommand), data_(nullptr),
      dataLength_(0), expectReply_(expectReply), broadcast_(broadcast) {
    if (data && dataLength > 0) {
        data_ = new unsigned char[dataLength];
        std::memcpy(data_, data, dataLength);
        dataLength_ = dataLength;
    }
}

TolmCmd::~TolmCmd() { delete[] data_; }

TolmCmd& TolmCmd::operator=(const TolmCmd& other) {
    if (this == &other) return *this;
    unsigned char* copy = nullptr;
    if (other.data_) {
        copy = new unsigned char[other.dataLength_];
        std::memcpy(copy, other.data_, other.dataLength_);
    }
    delete[] data_;
    data_ = copy;
    dataLength_ = other.dataLength_;
    lun_ = other.lun_;
    netFn_ = other.netFn_;
    command_ = other.command_;
    subCommand_ = other.subCommand_;
    expectReply_ = other.expectReply_;
    broadcast_ = other.broadcast_;
    return *this;
}
