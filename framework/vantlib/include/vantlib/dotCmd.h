#ifndef VANTLIB_DOTCMD_H
#define VANTLIB_DOTCMD_H

#include <vector>

#include "wyxcore/export.h"

// One dot command: a command code, a path of bytes and a data block.
class VANT_API dotCmd {
public:
    dotCmd(unsigned char code, int pathLength, int dataLength, const unsigned char* path,
           const unsigned char* data);
    ~dotCmd();
    // Defined here, so that a module that includes this header has its own copy.
    dotCmd& operator=(const dotCmd& other) {
        code_ = other.code_;
        path_ = other.path_;
        data_ = other.data_;
        return *this;
    }

    unsigned char code() const { return code_; }
    const std::vector<unsigned char>& path() const { return path_; }
    const std::vector<unsigned char>& data() const { return data_; }

private:
    dotCmd(const dotCmd&);
    unsigned char code_;
    std::vector<unsigned char> path_;
    std::vector<unsigned char> data_;
};

#endif
