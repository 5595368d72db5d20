#ifndef VANTLIB_SPLIBRARY_H
#define VANTLIB_SPLIBRARY_H

#include "wyxcore/export.h"
#include "vantlib/TolmCmd.h"
#include "vantlib/dotCmd.h"

// The service-processor driver of one collection. This build talks to a
// simulated processor described by the image file named in VANT_SP_IMAGE;
// without the variable there is no service processor.
class VANT_API SPLibrary {
public:
    SPLibrary();
    ~SPLibrary();
    // Defined here, so that a module that includes this header has its own copy.
    SPLibrary& operator=(const SPLibrary& other) {
        if (this != &other) assign(other);
        return *this;
    }

    bool isDotcommand();
    bool checkSPComm();
    bool isTolm();
    bool isQmxStop();
    bool isUlklibrary();
    int gettolmBoxID();

    // Tolm: *length is 33 on entry; on return the reply byte count. reply holds
    // 255 bytes.
    bool sendTolmCommand(TolmCmd* command, int* length, unsigned char* reply);

    // Dot commands: processors are addressed by index 0 .. discoverSPs() - 1.
    int discoverSPs();
    // On success *length is the reply byte count (0: no further log entry).
    bool sendDotCommand(dotCmd* command, unsigned char* reply, int* length, int processor,
                        int capacity);

    struct Impl;

private:
    SPLibrary(const SPLibrary&);
    void assign(const SPLibrary& other);
    Impl* impl_;
};

#endif
