// Windows: control requests to the physical drives.
#include "drive_requests.h"

#include <windows.h>

namespace health {

namespace {

const unsigned kDriveLimit = 64;

std::string errorText(DWORD error) { return "error " + std::to_string(error); }

}  // namespace

std::vector<std::string> PhysicalDrives() {
    std::vector<std::string> drives;
    for (unsigned i = 0; i < kDriveLimit; ++i) {
        const std::string name = "\\\\.\\PhysicalDrive" + std::to_string(i);
        // No access asked: this only tells whether the drive is there.
        HANDLE drive =
            CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (drive == INVALID_HANDLE_VALUE) continue;
        CloseHandle(drive);
        drives.push_back(name);
    }
    return drives;
}

DriveReply RequestDrive(const std::string& drive, unsigned code, const Bytes& input, size_t outputSize) {
    DriveReply reply;
    HANDLE handle = CreateFileA(drive.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reply.outcome = DriveReply::kNotOpened;
        reply.error = errorText(GetLastError());
        return reply;
    }
    Bytes in(input);
    Bytes out(outputSize, 0);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(handle, code, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                                    out.data(), static_cast<DWORD>(out.size()), &returned, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!ok) {
        reply.error = errorText(error);
        return reply;
    }
    out.resize(returned < out.size() ? returned : out.size());
    reply.outcome = DriveReply::kReplied;
    reply.bytes = std::move(out);
    return reply;
}

}  // namespace health
