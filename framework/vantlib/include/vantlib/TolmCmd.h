#ifndef VANTLIB_TOLMCMD_H
#define VANTLIB_TOLMCMD_H

#include <cstring>

#include "wyxcore/export.h"

// One Tolm request: the command bytes and flags the driver sends.
class VANT_API TolmCmd {
public:
    TolmCmd(unsigned char lun, unsigned char netFn, unsigned char command, unsigned char subCommand,
            unsigned char* data, int dataLength, bool expectReply, bool broadcast);
    ~TolmCmd();
    // Defined here, so that a module that includes this header has its own copy.
    TolmCmd& operator=(const TolmCmd& other) {
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

    unsigned char lun() const { return lun_; }
    unsigned char netFn() const { return netFn_; }
    unsigned char command() const { return command_; }
    unsigned char subCommand() const { return subCommand_; }
    int dataLength() const { return dataLength_; }
    const unsigned char* data() const { return data_; }
    bool expectReply() const { return expectReply_; }
    bool broadcast() const { return broadcast_; }

private:
    TolmCmd(const TolmCmd&);
    unsigned char lun_, netFn_, command_, subCommand_;
    unsigned char* data_;      // owned copy, null when empty
    int dataLength_;
    bool expectReply_, broadcast_;
};

#endif
