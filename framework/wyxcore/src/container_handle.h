#ifndef WYXCORE_CONTAINER_HANDLE_H
#define WYXCORE_CONTAINER_HANDLE_H

class TContainer;
class TCIMInstance;

// What a flat plug-in's container handle points to during one data callback.
struct TContainerHandle {
    static const unsigned kMagic = 0x57594348u;   // checked by the flat entry points
    unsigned magic;
    TContainer* container;
    TCIMInstance* current;       // the instance of the last wyxAddClass, or null
};

#endif
