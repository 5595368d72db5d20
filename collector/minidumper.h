#ifndef NORBIX_MINIDUMPER_H
#define NORBIX_MINIDUMPER_H

// Writes a dump of the process when a fault is left unhandled, into the
// directory given to installCrashHandler, and tells the user where it went.
// There is exactly one such object, made during static initialisation.
class MiniDumper {
public:
    // applicationName (null: "OSK_Core") is the dump file's base name.
    explicit MiniDumper(const char* applicationName);
    // directory ends with a path separator; before this call a crash gets the
    // system's default handling.
    void installCrashHandler(const char* directory);
};

// The start-up object, named "OSK_Core".
MiniDumper& theMiniDumper();

#endif
