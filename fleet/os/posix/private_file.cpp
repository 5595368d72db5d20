#include "private_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fleet_error.h"

void CreatePrivateFileIfMissing(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
        return;
    }
    if (errno == EEXIST) return;
    throw FleetError("'" + path + "': cannot create the store: " + std::strerror(errno));
}
