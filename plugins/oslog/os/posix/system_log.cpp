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
#include "linux_text.h"
#include "log_record.h"
#include "wyxcore/calendar.h"

namespace oslog {

namespace {

const size_t kKmsgLimit = 16 << 20;
const size_t kKmsgRecordSize = 8192;   // a read shorter than a record fails
const size_t kStatLimit = 1 << 20;

int64_t nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Negative (and a note) when /proc/stat states no usable boot time.
int64_t bootMicros(Notes& notes) {
    std::string text;
    int64_t seconds = 0, micros = 0;
    if (hostfs::ReadFile("/proc/stat", kStatLimit, &text) && linuxtext::ParseBootSeconds(text, &seconds) &&
        calendar::EpochMicrosFromSeconds(seconds, &micros))
        return micros;
    notes.push_back("No usable boot time in /proc/stat: kernel records not dated");
    return -1;
}

// /dev/kmsg hands over one record per read; a plain file (a fake tree) holds
// them one after the other, continuation lines beginning with a blank.
bool readKernelBuffer(RecentRecords& keep, Notes& notes) {
    std::string path;
    const int fd =
        hostfs::Resolve("/dev/kmsg", &path) ? open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW) : -1;
    if (fd < 0) {
        notes.push_back("No kernel ring buffer");
        return false;
    }
    const int64_t boot = bootMicros(notes);
    std::string pending, unread;
    std::string chunk(kKmsgRecordSize, '\0');
    size_t total = 0;
    auto flush = [&]() {
        LogRecord record;
        if (!pending.empty() && ParseKmsgRecord(pending, boot, &record)) keep.Add(std::move(record));
        pending.clear();
    };
    while (total < kKmsgLimit && !keep.Exhausted()) {
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
    if (total >= kKmsgLimit)
        notes.push_back("Kernel ring buffer read no further than " + std::to_string(kKmsgLimit) + " bytes");
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
            ReadJournalExport(in, keep, notes);
        } else {
            notes.push_back(std::string("Journal export ") + exported + " cannot be read");
        }
    } else if (ReadJournal(keep, notes)) {
        source.logName = "journal";
    } else if (readKernelBuffer(keep, notes)) {
        source.logName = "kernel";
    }
    keep.Report(notes);
    source.records = keep.Take();
    return source;
}

}  // namespace oslog
