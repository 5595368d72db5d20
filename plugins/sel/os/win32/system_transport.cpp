// Placeholder replaced below by the WMI transport.
#include "ipmi_transport.h"

namespace ipmi {

OpenedTransport OpenSystemTransport() {
    OpenedTransport opened;
    opened.note = "No IPMI driver";
    return opened;
}

}  // namespace ipmi
