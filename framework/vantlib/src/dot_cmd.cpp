#include "vantlib/dotCmd.h"

dotCmd::dotCmd(unsigned char code, int pathLength, int dataLength, const unsigned char* path,
               const unsigned char* data)
    : code_(code) {
    if (path && pathLength > 0) path_.assign(path, path + pathLength);
    if (data && dataLength > 0) data_.assign(data, data + dataLength);
}

dotCmd::~dotCmd() {}
