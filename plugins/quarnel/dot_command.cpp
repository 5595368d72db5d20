#include "dot_command.h"

#include <memory>

#include "vantlib/SPLibrary.h"

bool sendDotCommand(SPLibrary& library, unsigned char code, const unsigned char* path, int pathLength,
                    unsigned char* reply, int* length, int processor) {
    static const unsigned char kNoData[1] = {0};
    std::unique_ptr<dotCmd> command(new dotCmd(code, pathLength, 0, path, kNoData));
    return library.sendDotCommand(command.get(), reply, length, processor, kDotReplySize);
}
