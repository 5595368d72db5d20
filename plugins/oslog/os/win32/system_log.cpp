// The System event log: the event-log query API, or the classic event-log
// reader where the query API is not there (it then gives the insertion
// strings, not the formatted message).
#include <windows.h>
#include <winevt.h>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

#include "log_record.h"
#include "wide_text.h"
#include "wyxcore/calendar.h"

namespace oslog {

namespace {

const DWORD kBatch = 64;
const DWORD kWaitMillis = 10000;
const size_t kPublisherLimit = 256;
const DWORD kClassicBufferSize = 64 << 10;
const wchar_t kQuery[] =
    L"*[System[(Level=1 or Level=2 or Level=3) and TimeCreated[timediff(@SystemTime) <= 2592000000]]]";

int64_t nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

struct EvtCloser {
    void operator()(void* handle) const {
        if (handle) EvtClose(static_cast<EVT_HANDLE>(handle));
    }
};
using EvtPointer = std::unique_ptr<void, EvtCloser>;

// The formatted message of an event; empty when its publisher cannot say.
std::string message(EVT_HANDLE event, const std::wstring& provider, std::map<std::wstring, EvtPointer>& publishers) {
    auto found = publishers.find(provider);
    if (found == publishers.end()) {
        if (publishers.size() >= kPublisherLimit) return std::string();
        EvtPointer metadata(EvtOpenPublisherMetadata(nullptr, provider.c_str(), nullptr, 0, 0));
        found = publishers.emplace(provider, std::move(metadata)).first;
    }
    if (!found->second) return std::string();
    DWORD used = 0;
    EvtFormatMessage(static_cast<EVT_HANDLE>(found->second.get()), event, 0, 0, nullptr, EvtFormatMessageEvent, 0,
                     nullptr, &used);
    if (used == 0 || used > kFieldLimit) return std::string();
    std::vector<wchar_t> text(used + 1, L'\0');
    if (!EvtFormatMessage(static_cast<EVT_HANDLE>(found->second.get()), event, 0, 0, nullptr, EvtFormatMessageEvent,
                          used, text.data(), &used))
        return std::string();
    return machine::Narrow(text.data());
}

bool readWithQuery(RecentRecords& keep, Notes& notes) {
    EvtPointer query(EvtQuery(nullptr, L"System", kQuery, EvtQueryChannelPath | EvtQueryReverseDirection));
    if (!query) {
        notes.push_back("System event log query refused: error " + std::to_string(GetLastError()));
        return false;
    }
    EvtPointer context(EvtCreateRenderContext(0, nullptr, EvtRenderContextSystem));
    if (!context) return false;
    std::map<std::wstring, EvtPointer> publishers;
    std::vector<BYTE> values(4096);
    EVT_HANDLE batch[kBatch];
    DWORD returned = 0;
    EVT_HANDLE results = static_cast<EVT_HANDLE>(query.get());
    // The query's own window lets entries dated in the future through; they are counted, not kept.
    while (!keep.Enough() && EvtNext(results, kBatch, batch, kWaitMillis, 0, &returned)) {
        for (DWORD i = 0; i < returned; ++i) {
            EvtPointer event(batch[i]);
            if (keep.Enough()) continue;   // the rest of the batch is closed unread
            DWORD used = 0, count = 0;
            if (!EvtRender(static_cast<EVT_HANDLE>(context.get()), batch[i], EvtRenderEventValues,
                           static_cast<DWORD>(values.size()), values.data(), &used, &count)) {
                if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || used > (1u << 20)) continue;
                values.resize(used);
                if (!EvtRender(static_cast<EVT_HANDLE>(context.get()), batch[i], EvtRenderEventValues,
                               static_cast<DWORD>(values.size()), values.data(), &used, &count))
                    continue;
            }
            if (count <= EvtSystemEventRecordId) continue;
            const auto* v = reinterpret_cast<const EVT_VARIANT*>(values.data());
            LogRecord record;
            const BYTE level = v[EvtSystemLevel].Type == EvtVarTypeByte ? v[EvtSystemLevel].ByteVal : 0;
            record.severity = level == 1 || level == 2 ? "Error" : level == 3 ? "Warning" : "";
            if (record.severity.empty()) continue;
            const std::wstring provider =
                v[EvtSystemProviderName].Type == EvtVarTypeString && v[EvtSystemProviderName].StringVal
                    ? v[EvtSystemProviderName].StringVal
                    : L"";
            record.source = machine::Narrow(provider.c_str());
            if (v[EvtSystemEventID].Type == EvtVarTypeUInt16)
                record.eventId = std::to_string(v[EvtSystemEventID].UInt16Val);
            if (v[EvtSystemEventRecordId].Type == EvtVarTypeUInt64)
                record.recordId = std::to_string(v[EvtSystemEventRecordId].UInt64Val);
            // A time before 1970 or after 9999 is no time: such an entry is counted as out of the window.
            if (v[EvtSystemTimeCreated].Type != EvtVarTypeFileTime) continue;
            if (!calendar::EpochMicrosFromFileTime(v[EvtSystemTimeCreated].FileTimeVal, &record.utcMicros))
                record.utcMicros =
                    v[EvtSystemTimeCreated].FileTimeVal < calendar::kFileTimeOf1970 ? INT64_MIN : INT64_MAX;
            else
                record.message = message(batch[i], provider, publishers);
            keep.Add(std::move(record));
        }
    }
    return true;
}

struct EventLogCloser {
    void operator()(void* handle) const {
        if (handle) CloseEventLog(static_cast<HANDLE>(handle));
    }
};

bool readClassic(RecentRecords& keep, Notes& notes) {
    std::unique_ptr<void, EventLogCloser> log(OpenEventLogA(nullptr, "System"));
    if (!log) {
        notes.push_back("No System event log: error " + std::to_string(GetLastError()));
        return false;
    }
    std::vector<BYTE> buffer(kClassicBufferSize);
    DWORD got = 0, needed = 0;
    while (!keep.Enough() &&
           ReadEventLogA(static_cast<HANDLE>(log.get()), EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0,
                         buffer.data(), static_cast<DWORD>(buffer.size()), &got, &needed)) {
        for (DWORD at = 0; at + sizeof(EVENTLOGRECORD) <= got && !keep.Enough();) {
            const auto* entry = reinterpret_cast<const EVENTLOGRECORD*>(buffer.data() + at);
            if (entry->Length < sizeof(EVENTLOGRECORD) || at + entry->Length > got) break;
            at += entry->Length;
            LogRecord record;
            record.severity = entry->EventType == EVENTLOG_ERROR_TYPE     ? "Error"
                              : entry->EventType == EVENTLOG_WARNING_TYPE ? "Warning"
                                                                          : "";
            if (record.severity.empty()) continue;
            // Seconds of a DWORD: never beyond what the conversion holds.
            calendar::EpochMicrosFromSeconds(entry->TimeGenerated, &record.utcMicros);
            record.recordId = std::to_string(entry->RecordNumber);
            record.eventId = std::to_string(entry->EventID & 0xFFFF);
            const char* text = reinterpret_cast<const char*>(entry + 1);
            const char* end = reinterpret_cast<const char*>(entry) + entry->Length;
            record.source = std::string(text, strnlen(text, static_cast<size_t>(end - text)));
            if (entry->StringOffset < entry->Length) {
                const char* strings = reinterpret_cast<const char*>(entry) + entry->StringOffset;
                for (WORD n = 0; n < entry->NumStrings && strings < end; ++n) {
                    const size_t length = strnlen(strings, static_cast<size_t>(end - strings));
                    if (n) record.message += ' ';
                    record.message.append(strings, length);
                    strings += length + 1;
                }
            }
            keep.Add(std::move(record));
        }
    }
    return true;
}

}  // namespace

LogSource ReadSystemLog(Notes& notes) {
    LogSource source;
    source.logName = "System";
    RecentRecords keep(nowMicros());
    if (!readWithQuery(keep, notes)) readClassic(keep, notes);
    keep.Report(notes);
    source.records = keep.Take();
    return source;
}

}  // namespace oslog
