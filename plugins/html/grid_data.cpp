#include "grid_data.h"

namespace {

// Adds the value to a column's array that holds rows earlier values, filling
// the rows that had none with "".
void addAt(JsonValue* array, size_t rows, const std::string& value) {
    if (array->is_null())
        for (size_t i = 0; i < rows; ++i) array->push_back("");
    array->push_back(JsonText(value));
}

JsonValue byColumn(std::map<size_t, JsonValue>* arrays) {
    JsonValue object = JsonValue::object();
    for (auto& array : *arrays) object[std::to_string(array.first)] = std::move(array.second);
    arrays->clear();
    return object;
}

}  // namespace

GridData::GridData(const std::string& tableId, const std::vector<std::string>& columns)
    : id_(tableId), columns_(columns) {}

void GridData::AddRow(const std::vector<GridCell>& cells, size_t position, const std::string& css) {
    JsonValue row = JsonValue::array();
    for (size_t c = 0; c < columns_.size(); ++c) {
        const GridCell* cell = c < cells.size() ? &cells[c] : nullptr;
        row.push_back(JsonText(cell ? cell->text : std::string()));
        const auto keyed = keys_.find(c), linked = links_.find(c);
        if (cell && !cell->key.empty()) addAt(&keys_[c], rows_, cell->key);
        else if (keyed != keys_.end()) keyed->second.push_back("");
        if (cell && !cell->link.empty()) addAt(&links_[c], rows_, cell->link);
        else if (linked != links_.end()) linked->second.push_back("");
    }
    if (rows_) rowsJson_ += ",";
    rowsJson_ += ScriptJson(row);
    positions_.push_back(position);
    css_.push_back(JsonText(css));
    ++rows_;
}

void GridData::AddMember(const std::string& name, JsonValue value) {
    members_[JsonText(name)] = std::move(value);
}

std::string GridData::Script() {
    JsonValue columns = JsonValue::array();
    for (const std::string& column : columns_) columns.push_back(JsonText(column));
    JsonValue head = JsonValue::object();
    head["id"] = JsonText(id_);
    head["columns"] = std::move(columns);
    head["pos"] = std::move(positions_);
    head["css"] = std::move(css_);
    head["keys"] = byColumn(&keys_);
    head["links"] = byColumn(&links_);
    for (auto& member : members_.items()) head[member.key()] = std::move(member.value());
    std::string json = ScriptJson(head);
    head = nullptr;
    json.pop_back();   // the closing brace: the rows, written already, come last
    json += ",\"rows\":[";
    json += rowsJson_;
    json += "]}";
    std::string().swap(rowsJson_);
    // Handed over as one string for JSON.parse: a script engine reads that many
    // times faster than the same data as literals (100,000 numeric strings as
    // literals took a browser many seconds).
    std::string literal = "norbixTable(JSON.parse('";
    literal.reserve(json.size() + json.size() / 8 + 32);
    // ScriptJson writes no line break and no "'": only backslashes need doubling.
    for (size_t from = 0, at; from < json.size(); from = at + 1) {
        at = json.find('\\', from);
        literal.append(json, from, at == std::string::npos ? std::string::npos : at + 1 - from);
        if (at == std::string::npos) break;
        literal += '\\';
    }
    literal += "'));\n";
    return literal;
}
