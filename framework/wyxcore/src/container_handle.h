#ifndef WYXCORE_CONTAINER_HANDLE_H
#define WYXCORE_CONTAINER_HANDLE_H

class TContainer;
class TCIMInstance;

// What a flat plug-in's container handle points to during one data callback.
// It is live (the flat entry points accept it) from construction to destruction.
class TContainerHandle {
public:
    explicit TContainerHandle(TContainer* container);
    ~TContainerHandle();
    // The live handle at that address, or null.
    static TContainerHandle* FromHandle(void* handle);

    TContainer* container;
    TCIMInstance* current;       // the instance of the last wyxAddClass, or null

private:
    TContainerHandle(const TContainerHandle&);
    TContainerHandle& operator=(const TContainerHandle&);
};

#endif
