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
