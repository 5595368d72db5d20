#ifndef WYXCORE_PRIVATE_SECURITY_H
#define WYXCORE_PRIVATE_SECURITY_H

#include <windows.h>

namespace wyxos {

// Security attributes whose ACL lets only the administrators and the running
// user in (inherited by what is created inside); null when the system cannot
// build them, and the object then gets the ACL of its parent.
SECURITY_ATTRIBUTES* PrivateSecurity();

}  // namespace wyxos

#endif
