#ifndef NORBIX_GRID_DATA_H
#define NORBIX_GRID_DATA_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "json_text.h"

// One cell of a table drawn from data: its text, and where the text does not
// sort right (date-times) its key, and a link target where it has one.
struct GridCell {
    std::string text;
    std::string key;
    std::string link;
};

// The rows of one table, written as a script file beside its page that hands
// them to the page's script as JSON in one string literal. Every text goes in
// through JsonText and out through ScriptJson (no quote "'", line break or
// markup character), so the literal needs only its backslashes doubled; the
// page escapes nothing again, it sets each cell's text.
class GridData {
public:
    GridData(const std::string& tableId, const std::vector<std::string>& columns);
    GridData(const GridData&) = delete;
    GridData& operator=(const GridData&) = delete;
    // position is the row's anchor number ("i" + position); css its class.
    void AddRow(const std::vector<GridCell>& cells, size_t position, const std::string& css = std::string());
    // A further member of the data ("filters", "utc", ...); its texts made by JsonText.
    void AddMember(const std::string& name, JsonValue value);
    size_t Rows() const { return rows_; }
    // The script file; the data moves into it, so this is the last call.
    std::string Script();

private:
    std::string id_;
    std::vector<std::string> columns_;
    size_t rows_ = 0;
    // The rows as JSON text, each written when added: a class of any size then
    // holds its rows once more as text, not as a tree of values.
    std::string rowsJson_;
    JsonValue positions_ = JsonValue::array(), css_ = JsonValue::array();
    std::map<size_t, JsonValue> keys_, links_;
    JsonValue members_ = JsonValue::object();
};

#endif
