#ifndef WYXCORE_FLAT_GUARD_H
#define WYXCORE_FLAT_GUARD_H

#include "wyxcore/status.h"

// The flat entry points are called from C: nothing may leave them but a status.
// An allocation failure or any other exception inside becomes kWyxFailure.
template <class Body>
int GuardFlat(Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return kWyxFailure;
    }
}

#endif
