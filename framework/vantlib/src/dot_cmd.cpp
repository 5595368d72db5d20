#include "vantlib/dotCmd.h"

dotCmd::dotCmd(unsigned char code, int pathLength, int dataLength, const unsigned char* path,
               const unsigned char* data)
    : code_(code) {
    if (path && pathLength > 0) path_.assign(path, path + pathLength);
    if (data && dataLength > 0) data_.assign(data, data + dataLength);
}

dotCmd::~dotCmd() {}

dotCmd& dotCmd::operator=(const dotCmd& other) {
    code_ = other.code_;
    path_ = other.path_;
    data_ = other.data_;
    return *this;
}
