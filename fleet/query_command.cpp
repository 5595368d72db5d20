#include "query_command.h"

#include "store_open.h"
#include "store_schema.h"

std::string CsvField(const SqlValue& value) {
    if (value.isNull) return std::string();
    if (value.text.find_first_of(",\"\r\n") == std::string::npos) return value.text;
    std::string out = "\"";
    for (char c : value.text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void RunQuery(const FleetCommandLine& line, std::ostream& out) {
    std::unique_ptr<SqlConnection> store = OpenStore(line.store, true, line.waitSeconds);
    CheckStoreSchema(*store);
    auto print = [&out](const std::vector<SqlValue>& row) {
        for (size_t i = 0; i < row.size(); ++i) out << (i ? "," : "") << CsvField(row[i]);
        out << "\n";
    };
    store->Stream(
        line.operands[0],
        [&print](const std::vector<std::string>& columns) {
            print(std::vector<SqlValue>(columns.begin(), columns.end()));
        },
        print);
}
