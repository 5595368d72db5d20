// The Linux system log: a journal export named by WYX_JOURNAL_EXPORT (a
// recorded journal, for tests and for a journal copied off another machine),
// else the local systemd journal, else the kernel's ring buffer.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "host_files.h"
#include "journal_source.h"
#include "log_record.h"

namespace oslog {

namespace {

const size_t kKmsgLimit = 16 << 20;
const size_t kKmsgRecordSize = 8192;   // a read shorter than a record fails

int64_t nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t bootMicros() {
    std::string text;
    if (!hostfs::ReadFile("/proc/stat", 1 << 20, &text)) return 0;
    const size_t at = text.find("\nbtime ");
    if (at == std::string::npos) return 0;
    return std::strtoll(text.c_str() + at + 7, nullptr, 10) * 1000000;
}

// /dev/kmsg hands over one record per read; a plain file (a fake tree) holds
// them one after the other, continuation lines beginning with a blank.
bool readKernelBuffer(RecentRecords& keep, Notes& notes) {
    const int fd = open(hostfs::Path("/dev/kmsg").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        notes.push_back("No kernel ring buffer");
        return false;
    }
    const int64_t boot = bootMicros();
    std::string pending, unread;
    std::string chunk(kKmsgRecordSize, '\0');
    size_t total = 0;
    auto flush = [&]() {
        LogRecord record;
        if (!pending.empty() && ParseKmsgRecord(pending, boot, &record)) keep.Add(std::move(record));
        pending.clear();
    };
    while (total < kKmsgLimit) {
        const ssize_t n = read(fd, &chunk[0], chunk.size());
        if (n < 0 && errno == EPIPE) continue;   // a record was overwritten while reading
        if (n <= 0) break;
        total += static_cast<size_t>(n);
        unread.append(chunk, 0, static_cast<size_t>(n));
        size_t at = 0;
        for (size_t end; (end = unread.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string line = unread.substr(at, end - at);
            if (!line.empty() && line[0] != ' ') flush();
            if (pending.size() < kFieldLimit) pending += (pending.empty() ? "" : "\n") + line;
        }
        unread.erase(0, at);
        if (unread.size() > kFieldLimit) unread.clear();   // a line without end
    }
    if (!unread.empty() && unread[0] != ' ') flush();
    if (pending.size() < kFieldLimit) pending += (pending.empty() ? "" : "\n") + unread;
    flush();
    close(fd);
    return true;
}

}  // namespace

LogSource ReadSystemLog(Notes& notes) {
    LogSource source;
    RecentRecords keep(nowMicros());
    const char* exported = std::getenv("WYX_JOURNAL_EXPORT");
    if (exported && *exported) {
        std::ifstream in(exported, std::ios::binary);
        if (in) {
            source.logName = "journal";
            ReadJournalExport(in, keep);
        } else {
            notes.push_back(std::string("Journal export ") + exported + " cannot be read");
        }
    } else if (ReadJournal(keep, notes)) {
        source.logName = "journal";
    } else if (readKernelBuffer(keep, notes)) {
        source.logName = "kernel";
    }
    source.records = keep.Take();
    return source;
}

}  // namespace oslog
