#include "grid_data.h"

#include "html_escape.h"

namespace {

// Adds the value to a JSON array that holds rows earlier values, filling the
// rows that had none with "".
void addAt(std::string* array, size_t rows, const std::string& value) {
    if (array->empty())
        for (size_t i = 0; i < rows; ++i) *array += i ? ",\"\"" : "\"\"";
    if (rows) *array += ",";
    *array += JsonString(value);
}

}  // namespace

GridData::GridData(const std::string& tableId, const std::vector<std::string>& columns)
    : id_(tableId), columns_(columns) {}

void GridData::AddRow(const std::vector<GridCell>& cells, size_t position, const std::string& css) {
    if (rows_) {
        rowsJson_ += ",\n";
        positions_ += ",";
        css_ += ",";
    }
    rowsJson_ += "[";
    for (size_t c = 0; c < columns_.size(); ++c) {
        const GridCell* cell = c < cells.size() ? &cells[c] : nullptr;
        rowsJson_ += (c ? "," : "") + JsonString(cell ? cell->text : std::string());
        const bool keyed = keys_.count(c) != 0, linked = links_.count(c) != 0;
        if (cell && !cell->key.empty()) addAt(&keys_[c], rows_, cell->key);
        else if (keyed) keys_[c] += ",\"\"";
        if (cell && !cell->link.empty()) addAt(&links_[c], rows_, cell->link);
        else if (linked) links_[c] += ",\"\"";
    }
    rowsJson_ += "]";
    positions_ += std::to_string(position);
    css_ += JsonString(css);
    ++rows_;
}

void GridData::AddMember(const std::string& name, const std::string& json) {
    members_ += ",\n" + JsonString(name) + ":" + json;
}

std::string GridData::Script() const {
    std::string out = "{\"id\":" + JsonString(id_) + ",\n\"columns\":[";
    for (size_t c = 0; c < columns_.size(); ++c) out += (c ? "," : "") + JsonString(columns_[c]);
    out += "],\n\"pos\":[" + positions_ + "],\n\"css\":[" + css_ + "]";
    auto byColumn = [](const char* name, const std::map<size_t, std::string>& arrays) {
        std::string json = ",\n\"" + std::string(name) + "\":{";
        bool first = true;
        for (const auto& array : arrays) {
            json += (first ? "\"" : ",\"") + std::to_string(array.first) + "\":[" + array.second + "]";
            first = false;
        }
        return json + "}";
    };
    out += byColumn("keys", keys_) + byColumn("links", links_) + members_;
    out += ",\n\"rows\":[\n" + rowsJson_ + "]}";
    // Handed over as one string for JSON.parse: a script engine reads that many
    // times faster than the same data as literals (100,000 numeric strings as
    // literals took a browser many seconds).
    std::string literal = "norbixTable(JSON.parse('";
    literal.reserve(out.size() + out.size() / 8 + 32);
    for (char c : out) {
        if (c == '\\') literal += "\\\\";
        else if (c == '\n') literal += "\\n";
        else literal += c;
    }
    return literal + "'));\n";
}
