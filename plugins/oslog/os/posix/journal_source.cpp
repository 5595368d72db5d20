// The systemd journal through sd-journal, newest entry first so a long
// journal is read no further back than the window and the record limit need.
#include <systemd/sd-journal.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "host_files.h"
#include "journal_source.h"

namespace oslog {

namespace {

// Failures in a row after which the journal is not read further back.
const uint64_t kFailureLimit = 100;

struct JournalCloser {
    void operator()(sd_journal* journal) const { sd_journal_close(journal); }
};

std::string field(sd_journal* journal, const char* name) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(journal, name, &data, &length) < 0) return std::string();
    const std::string text(static_cast<const char*>(data), length);
    const size_t equals = text.find('=');
    return equals == std::string::npos ? std::string() : text.substr(equals + 1, kFieldLimit);
}

}  // namespace

bool ReadJournal(RecentRecords& keep, Notes& notes) {
    sd_journal* opened = nullptr;
    // Under a fake tree, its own journal folder (usually none).
    std::string folder;
    const int status = !hostfs::Rooted() ? sd_journal_open(&opened, SD_JOURNAL_LOCAL_ONLY | SD_JOURNAL_SYSTEM)
                       : hostfs::Resolve("/var/log/journal", &folder)
                           ? sd_journal_open_directory(&opened, folder.c_str(), 0)
                           : -ENOENT;
    if (status < 0) {
        notes.push_back("No systemd journal");
        return false;
    }
    std::unique_ptr<sd_journal, JournalCloser> journal(opened);
    uint64_t bytes = 0;
    if (sd_journal_get_usage(journal.get(), &bytes) < 0 || bytes == 0) {
        notes.push_back("No systemd journal files");
        return false;
    }
    sd_journal_set_data_threshold(journal.get(), kFieldLimit);
    for (int priority = 0; priority <= 4; ++priority) {
        const std::string match = "PRIORITY=" + std::to_string(priority);
        sd_journal_add_match(journal.get(), match.c_str(), 0);
    }
    sd_journal_seek_tail(journal.get());
    uint64_t read = 0, damaged = 0, failedInRow = 0;
    while (!keep.Enough() && failedInRow < kFailureLimit) {
        const int moved = sd_journal_previous(journal.get());
        if (moved == 0) break;
        uint64_t micros = 0;
        if (moved < 0 || sd_journal_get_realtime_usec(journal.get(), &micros) < 0) {
            ++damaged;
            ++failedInRow;
            continue;
        }
        failedInRow = 0;
        // Counted from the newest: the journal's own sequence numbers are not exposed here.
        const std::string recordId = std::to_string(++read);
        LogRecord record;
        record.utcMicros = micros > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(micros);
        const std::string priority = field(journal.get(), "PRIORITY");
        record.severity = priority.size() == 1 ? SeverityOfPriority(priority[0] - '0') : std::string();
        if (record.severity.empty()) continue;
        record.source = field(journal.get(), "SYSLOG_IDENTIFIER");
        if (record.source.empty()) record.source = field(journal.get(), "_COMM");
        if (record.source.empty() && field(journal.get(), "_TRANSPORT") == "kernel") record.source = "kernel";
        record.eventId = field(journal.get(), "MESSAGE_ID");
        record.message = field(journal.get(), "MESSAGE");
        record.recordId = recordId;
        keep.Add(std::move(record));
    }
    if (damaged) notes.push_back(std::to_string(damaged) + " damaged journal entries skipped");
    if (failedInRow >= kFailureLimit) notes.push_back("Journal reading stopped at damaged entries");
    return true;
}

}  // namespace oslog
