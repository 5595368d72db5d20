// Windows: the hardware-error logger's events of the System event log, newest first.
#include "whea_log.h"

#include <windows.h>
#include <winevt.h>

#include <memory>

#include "wide_text.h"
#include "whea_event.h"

namespace health {

namespace {

const DWORD kBatch = 64;
const DWORD kWaitMillis = 10000;
const wchar_t kProvider[] = L"Microsoft-Windows-WHEA-Logger";
const wchar_t kQuery[] = L"*[System[Provider[@Name='Microsoft-Windows-WHEA-Logger']]]";

struct EvtCloser {
    void operator()(void* handle) const {
        if (handle) EvtClose(static_cast<EVT_HANDLE>(handle));
    }
};
using EvtPointer = std::unique_ptr<void, EvtCloser>;

// The event's XML, at most kWheaXmlLimit bytes of it; empty when it cannot be rendered.
std::string xmlOf(EVT_HANDLE event) {
    DWORD used = 0, count = 0;
    EvtRender(nullptr, event, EvtRenderEventXml, 0, nullptr, &used, &count);
    if (used == 0 || used > kWheaXmlLimit * 2) return std::string();
    std::vector<wchar_t> text(used / sizeof(wchar_t) + 1, L'\0');
    if (!EvtRender(nullptr, event, EvtRenderEventXml, used, text.data(), &used, &count)) return std::string();
    return machine::Narrow(text.data());
}

std::string messageOf(EVT_HANDLE publisher, EVT_HANDLE event) {
    if (!publisher) return std::string();
    DWORD used = 0;
    EvtFormatMessage(publisher, event, 0, 0, nullptr, EvtFormatMessageEvent, 0, nullptr, &used);
    if (used == 0 || used > 16384) return std::string();
    std::vector<wchar_t> text(used + 1, L'\0');
    if (!EvtFormatMessage(publisher, event, 0, 0, nullptr, EvtFormatMessageEvent, used, text.data(), &used))
        return std::string();
    return machine::Narrow(text.data());
}

}  // namespace

void ReadWheaLog(HealthFacts& facts) {
    EvtPointer query(EvtQuery(nullptr, L"System", kQuery, EvtQueryChannelPath | EvtQueryReverseDirection));
    if (!query) {
        facts.notes.push_back("System event log not read for hardware errors: error " + std::to_string(GetLastError()));
        return;
    }
    EvtPointer publisher(EvtOpenPublisherMetadata(nullptr, kProvider, nullptr, 0, 0));
    std::vector<HardwareErrorFacts> newestFirst;
    EVT_HANDLE batch[kBatch];
    DWORD returned = 0;
    bool more = true;
    while (more && EvtNext(static_cast<EVT_HANDLE>(query.get()), kBatch, batch, kWaitMillis, 0, &returned)) {
        for (DWORD i = 0; i < returned; ++i) {
            EvtPointer event(batch[i]);
            if (newestFirst.size() == kWheaRecordLimit) {
                more = false;
                continue;   // the rest of the batch is closed unread
            }
            HardwareErrorFacts record;
            if (DecodeWheaEvent(xmlOf(batch[i]), messageOf(static_cast<EVT_HANDLE>(publisher.get()), batch[i]), &record,
                                facts.notes))
                newestFirst.push_back(record);
        }
    }
    if (!more)
        facts.notes.push_back("Only the newest " + std::to_string(kWheaRecordLimit) + " hardware error events read");
    if (newestFirst.empty()) facts.notes.push_back("No hardware error events in the System event log");
    facts.records.insert(facts.records.end(), newestFirst.rbegin(), newestFirst.rend());
    CountWheaRecords(facts);
}

}  // namespace health
