#include "errno_status.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using wyxos::FileUse;

struct ErrnoCase {
    int error;
    FileUse use;
    int status;
};

// A reader (a file read back, the file uploaded) and a writer of an output file.
const ErrnoCase kCases[] = {
    {ENOENT, FileUse::kRead, kWyxFileNotFound},   {ENOTDIR, FileUse::kRead, kWyxFileNotFound},
    {EACCES, FileUse::kRead, kWyxAccessDenied},   {EPERM, FileUse::kRead, kWyxAccessDenied},
    {EROFS, FileUse::kRead, kWyxAccessDenied},    {EISDIR, FileUse::kRead, kWyxAccessDenied},
    {ENOSPC, FileUse::kRead, kWyxDiskFull},       {EIO, FileUse::kRead, kWyxReadFailed},
    {EMFILE, FileUse::kRead, kWyxReadFailed},     {0, FileUse::kRead, kWyxReadFailed},
    {ENOSPC, FileUse::kWrite, kWyxDiskFull},      {EACCES, FileUse::kWrite, kWyxAccessDenied},
    {EPERM, FileUse::kWrite, kWyxAccessDenied},   {EROFS, FileUse::kWrite, kWyxAccessDenied},
    {EISDIR, FileUse::kWrite, kWyxAccessDenied},  {EEXIST, FileUse::kWrite, kWyxAccessDenied},
    {ELOOP, FileUse::kWrite, kWyxAccessDenied},   {ENOENT, FileUse::kWrite, kWyxAccessDenied},
    {ENOTDIR, FileUse::kWrite, kWyxAccessDenied}, {EIO, FileUse::kWrite, kWyxWriteFailed},
    {EMFILE, FileUse::kWrite, kWyxWriteFailed},
#ifdef EDQUOT
    {EDQUOT, FileUse::kWrite, kWyxDiskFull},
#endif
};

TEST(ErrnoStatus, EachErrorNumberHasItsStatus) {
    for (const ErrnoCase& c : kCases)
        EXPECT_EQ(c.status, wyxos::StatusOfErrno(c.error, c.use))
            << "errno " << c.error << (c.use == FileUse::kRead ? " reading" : " writing");
}

}  // namespace
