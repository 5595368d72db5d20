// The plug-in exports by name the copy-assignment operators of the driver
// classes whose declarations it includes, and nothing else (the export lists
// beside this file); nothing calls them. Taking their addresses makes this
// module hold its own copies.
#include "vantlib/SPLibrary.h"
#include "vantlib/TolmCmd.h"
#include "vantlib/dotCmd.h"

namespace {

struct DriverAssignments {
    TolmCmd& (TolmCmd::*tolm)(const TolmCmd&);
    SPLibrary& (SPLibrary::*library)(const SPLibrary&);
    dotCmd& (dotCmd::*dot)(const dotCmd&);
};

__attribute__((used)) const DriverAssignments kDriverAssignments = {&TolmCmd::operator=, &SPLibrary::operator=,
                                                                   &dotCmd::operator=};

}  // namespace
