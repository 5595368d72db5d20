#include <sys/resource.h>

#include <cerrno>

#include "priority.h"

// The nearest equivalent of the below-normal class: a nice value of 5 more than
// the default.
bool lowerProcessPriority(unsigned long* error) {
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno == 0 && current >= 5) return true;
    if (setpriority(PRIO_PROCESS, 0, 5) == 0) return true;
    *error = static_cast<unsigned long>(errno);
    return false;
}
