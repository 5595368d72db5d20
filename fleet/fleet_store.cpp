#include "fleet_store.h"

#include "store_text.h"
#include "wyxcore/container.h"

namespace {

SqlValue text(const std::string& value) { return SqlValue(StoreText(value)); }

// A JSON string of text already UTF-8 (StoreText).
void appendJsonString(const std::string& text, std::string* out) {
    static const char hex[] = "0123456789abcdef";
    *out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            *out += '\\';
            *out += static_cast<char>(c);
        } else if (c < 0x20) {
            *out += "\\u00";
            *out += hex[c >> 4];
            *out += hex[c & 15];
        } else {
            *out += static_cast<char>(c);
        }
    }
    *out += '"';
}

// An instance's properties as one JSON object of texts (arrays as arrays).
std::string propertiesOf(const TCIMInstance& instance) {
    std::string out = "{";
    for (const auto& property : instance.GetProperties()) {
        if (out.size() > 1) out += ',';
        appendJsonString(StoreText(property.first), &out);
        out += ':';
        if (property.second.IsArray()) {
            out += '[';
            bool first = true;
            for (const std::string& e : property.second.GetElements()) {
                if (!first) out += ',';
                first = false;
                appendJsonString(StoreText(e), &out);
            }
            out += ']';
        } else {
            appendJsonString(StoreText(property.second.GetText()), &out);
        }
    }
    return out + "}";
}

}  // namespace

bool StoreCollection(SqlConnection& store, const std::string& fileName, const std::string& contentHash,
                     const TContainer& container, const CollectionFacts& facts) {
    WriteTransaction transaction(store);
    if (!store.Query("SELECT id FROM collections WHERE content_hash = ?", {SqlValue(contentHash)}).rows.empty())
        return false;
    store.Query("INSERT INTO servers (serial, type_model) VALUES (?, ?) ON CONFLICT DO NOTHING",
                {text(facts.serial), text(facts.typeModel)});
    const std::string server = store
                                   .Query("SELECT id FROM servers WHERE serial = ? AND type_model = ?",
                                          {text(facts.serial), text(facts.typeModel)})
                                   .rows.at(0)
                                   .at(0)
                                   .text;
    const std::string id =
        store
            .Query(
                "INSERT INTO collections (server_id, content_hash, file_name, host, manufacturer, model,"
                " collected_utc, collected_shown, verdict, parts_failing, parts_warnings)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
                {SqlValue(server), SqlValue(contentHash), text(fileName), text(facts.host), text(facts.manufacturer),
                 text(facts.model), facts.hasCollectionTime ? SqlValue::Number(facts.collectedUtc) : SqlValue(),
                 facts.hasCollectionTime ? text(facts.collectedShown) : SqlValue(), text(facts.verdict),
                 SqlValue::Number(static_cast<long long>(facts.partsFailing)),
                 SqlValue::Number(static_cast<long long>(facts.partsWarnings))})
            .rows.at(0)
            .at(0)
            .text;
    std::vector<std::vector<SqlValue> > rows;
    for (const TCIMClass* cimClass : container.GetClasses()) {
        long long at = 0;
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true))
            rows.push_back(
                {SqlValue(id), text(cimClass->GetName()), SqlValue::Number(at++), SqlValue(propertiesOf(*instance))});
    }
    store.ExecuteMany("INSERT INTO instances (collection_id, class_name, position, properties) VALUES (?, ?, ?, ?)",
                      rows);
    rows.clear();
    long long position = 0;
    for (const LogRecordFact& r : facts.records)
        rows.push_back({SqlValue(id), SqlValue::Number(position++), text(r.className), text(r.log), text(r.recordId),
                        r.hasTime ? SqlValue::Number(r.utcSeconds) : SqlValue(),
                        r.hasTime ? text(r.shownTime) : SqlValue(), text(r.severity), text(r.message)});
    store.ExecuteMany(
        "INSERT INTO log_records (collection_id, position, class_name, log, record_id, utc_seconds, shown_time,"
        " severity, message) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
        rows);
    rows.clear();
    position = 0;
    for (const FindingFact& f : facts.findings)
        rows.push_back({SqlValue(id), SqlValue::Number(position++), text(f.severity), text(f.category),
                        text(f.description), text(f.sourceClass), text(f.message),
                        SqlValue::Number(static_cast<long long>(f.count))});
    store.ExecuteMany(
        "INSERT INTO findings (collection_id, position, severity, category, description, source_class, message,"
        " record_count) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        rows);
    rows.clear();
    position = 0;
    for (const PartFact& p : facts.parts)
        rows.push_back({SqlValue(id), SqlValue::Number(position++), text(p.kind), text(p.location), text(p.serial),
                        text(p.size), text(p.name), text(p.firmware)});
    store.ExecuteMany(
        "INSERT INTO parts (collection_id, position, kind, location, serial, size, name, firmware)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        rows);
    rows.clear();
    for (const PartVerdictFact& p : facts.partVerdicts)
        rows.push_back({SqlValue(id), SqlValue::Number(position++), text(p.kind), SqlValue(""), SqlValue(""),
                        SqlValue(""), text(p.name), SqlValue(""), text(p.verdict), text(p.key), text(p.scheme),
                        p.hasLatest ? SqlValue::Number(p.latestUtc) : SqlValue(),
                        p.hasLatest ? text(p.latestShown) : SqlValue(),
                        SqlValue::Number(static_cast<long long>(p.evidence))});
    store.ExecuteMany(
        "INSERT INTO parts (collection_id, position, kind, location, serial, size, name, firmware, verdict, part_key,"
        " scheme, latest_utc, latest_shown, evidence_count) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        rows);
    rows.clear();
    position = 0;
    for (const VersionFact& v : facts.versions)
        rows.push_back({SqlValue(id), SqlValue::Number(position++), text(v.kind), text(v.name), text(v.version)});
    store.ExecuteMany("INSERT INTO versions (collection_id, position, kind, name, version) VALUES (?, ?, ?, ?, ?)",
                      rows);
    transaction.Commit();
    return true;
}

CollectionFacts LoadStoredFacts(SqlConnection& store, const std::string& id) {
    CollectionFacts facts;
    const SqlResult head = store.Query(
        "SELECT s.serial, s.type_model, c.host, c.manufacturer, c.model, c.collected_utc, c.collected_shown,"
        " c.verdict, c.parts_failing, c.parts_warnings FROM collections c JOIN servers s ON s.id = c.server_id"
        " WHERE c.id = ?",
        {SqlValue(id)});
    const SqlRow& h = head.rows.at(0);
    facts.serial = h[0].text;
    facts.typeModel = h[1].text;
    facts.host = h[2].text;
    facts.manufacturer = h[3].text;
    facts.model = h[4].text;
    facts.hasCollectionTime = !h[5].isNull;
    if (facts.hasCollectionTime) facts.collectedUtc = std::stoll(h[5].text);
    facts.collectedShown = h[6].text;
    facts.verdict = h[7].text;
    // A collection stored before the parts model has no counts: none read.
    if (!h[8].isNull) facts.partsFailing = static_cast<size_t>(std::stoull(h[8].text));
    if (!h[9].isNull) facts.partsWarnings = static_cast<size_t>(std::stoull(h[9].text));
    for (const SqlRow& r : store
                               .Query("SELECT class_name, log, record_id, utc_seconds, shown_time, severity, message"
                                      " FROM log_records WHERE collection_id = ? ORDER BY position",
                                      {SqlValue(id)})
                               .rows) {
        LogRecordFact record;
        record.className = r[0].text;
        record.log = r[1].text;
        record.recordId = r[2].text;
        record.hasTime = !r[3].isNull;
        if (record.hasTime) record.utcSeconds = std::stoll(r[3].text);
        record.shownTime = r[4].text;
        record.severity = r[5].text;
        record.message = r[6].text;
        facts.records.push_back(std::move(record));
    }
    for (const SqlRow& r : store
                               .Query("SELECT severity, category, description, source_class, message, record_count"
                                      " FROM findings WHERE collection_id = ? ORDER BY position",
                                      {SqlValue(id)})
                               .rows)
        facts.findings.push_back(
            {r[0].text, r[1].text, r[2].text, r[3].text, r[4].text, static_cast<size_t>(std::stoull(r[5].text))});
    for (const SqlRow& r : store
                               .Query("SELECT kind, location, serial, size, name, firmware FROM parts WHERE "
                                      "collection_id = ? AND verdict IS NULL ORDER BY position",
                                      {SqlValue(id)})
                               .rows)
        facts.parts.push_back({r[0].text, r[1].text, r[2].text, r[3].text, r[4].text, r[5].text});
    for (const SqlRow& r : store
                               .Query("SELECT kind, part_key, scheme, name, verdict, latest_utc, latest_shown,"
                                      " evidence_count FROM parts WHERE collection_id = ? AND verdict IS NOT NULL"
                                      " ORDER BY position",
                                      {SqlValue(id)})
                               .rows) {
        PartVerdictFact part;
        part.kind = r[0].text;
        part.key = r[1].text;
        part.scheme = r[2].text;
        part.name = r[3].text;
        part.verdict = r[4].text;
        part.hasLatest = !r[5].isNull;
        if (part.hasLatest) part.latestUtc = std::stoll(r[5].text);
        part.latestShown = r[6].text;
        part.evidence = r[7].isNull ? 0 : static_cast<size_t>(std::stoull(r[7].text));
        facts.partVerdicts.push_back(std::move(part));
    }
    for (const SqlRow& r :
         store
             .Query("SELECT kind, name, version FROM versions WHERE collection_id = ? ORDER BY position",
                    {SqlValue(id)})
             .rows)
        facts.versions.push_back({r[0].text, r[1].text, r[2].text});
    return facts;
}
