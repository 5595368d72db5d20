// Linux: the NVMe health log through the controller's admin command.
#include "nvme_admin.h"

#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host_files.h"

namespace health {

std::vector<std::string> NvmeControllers(std::vector<std::string>& notes) {
    std::vector<std::string> controllers;
    for (const std::string& name : hostfs::List("/dev", notes))
        if (name.size() > 4 && name.compare(0, 4, "nvme") == 0 &&
            name.find_first_not_of("0123456789", 4) == std::string::npos)
            controllers.push_back("/dev/" + name);
    return controllers;
}

DriveReply NvmeAdminHealthLog(const std::string& device) {
    DriveReply reply;
    std::string path;
    if (!hostfs::Resolve(device, &path)) {
        reply.outcome = DriveReply::kNotOpened;
        reply.error = "not there";
        return reply;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reply.outcome = DriveReply::kNotOpened;
        reply.error = std::strerror(errno);
        return reply;
    }
    Bytes page(kNvmeHealthLogSize, 0);
    nvme_admin_cmd command;
    std::memset(&command, 0, sizeof command);
    command.opcode = 0x02;       // Get Log Page
    command.nsid = 0xFFFFFFFF;   // the controller as a whole
    command.addr = reinterpret_cast<uintptr_t>(page.data());
    command.data_len = static_cast<uint32_t>(page.size());
    command.cdw10 = ((kNvmeHealthLogSize / 4 - 1) << 16) | 0x02;   // dwords - 1, log identifier
    const int rc = ioctl(fd, NVME_IOCTL_ADMIN_CMD, &command);
    const int error = errno;
    close(fd);
    if (rc != 0) {
        reply.error = rc < 0 ? std::strerror(error) : "NVMe status " + std::to_string(rc);
        return reply;
    }
    reply.outcome = DriveReply::kReplied;
    reply.bytes = std::move(page);
    return reply;
}

}  // namespace health
