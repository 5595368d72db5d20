#include "text_report.h"

#include <algorithm>

#include "reading_order.h"
#include "table_columns.h"
#include "text_cell.h"
#include "text_table.h"
#include "wyxcore/container.h"

namespace {

const size_t kMaxColumn = 40;
const size_t kMaxValue = 72;
const char kIndent[] = "  ";

// Classes a person looks at first, in this order.
const char* const kLeadingClasses[] = {"VARNSG_HeavyHittersLogRecord", "VARNSG_AnalysisFinding",
                                       "VARNSG_VersionCheck"};

std::vector<const TCIMClass*> sectionOrder(const TContainer& container) {
    std::vector<const TCIMClass*> order;
    for (const char* name : kLeadingClasses) {
        const TCIMClass* cimClass = container.FindClass(name);
        if (cimClass && cimClass->GetInstanceCount()) order.push_back(cimClass);
    }
    const size_t leading = order.size();
    for (const TCIMClass* cimClass : container.GetClasses())
        if (cimClass->GetInstanceCount() && std::find(order.begin(), order.end(), cimClass) == order.end())
            order.push_back(cimClass);
    std::sort(order.begin() + leading, order.end(),
              [](const TCIMClass* a, const TCIMClass* b) { return a->GetName() < b->GetName(); });
    return order;
}

std::string cell(const TCIMInstance& instance, const std::string& name) {
    return PlainText(PropertyText(instance, name));
}

std::string underline(const std::string& title, char mark) {
    return title + "\n" + std::string(TextWidth(title), mark) + "\n";
}

std::string machineSection(const TContainer& container) {
    std::string out = underline("Machine", '=');
    const TCIMClass* system = container.FindClass("VARNSG_ComputerSystem");
    if (!system || !system->GetInstanceCount()) return out + kIndent + std::string("No computer-system data.\n");
    const TCIMInstance& instance = *system->EnumerateInstances(true).front();
    std::string mtm = PropertyText(instance, "CMCMTM");
    const std::string mark = "{CMCMTM}";
    if (mtm.compare(0, mark.size(), mark) == 0) mtm.erase(0, mark.size());
    const std::vector<std::pair<std::string, std::string> > pairs = {
        {"Host name", cell(instance, "Name")},
        {"Manufacturer", cell(instance, "Manufacturer")},
        {"Model", cell(instance, "Model")},
        {"Serial number", cell(instance, "SerialNumber")},
        {"Machine type-model", PlainText(mtm)}};
    return out + RenderTextPairs(pairs, kMaxValue, kIndent);
}

std::string contentsSection(const std::vector<const TCIMClass*>& classes) {
    std::vector<std::vector<std::string> > rows;
    for (const TCIMClass* cimClass : classes)
        rows.push_back({PlainText(cimClass->GetName()), std::to_string(cimClass->GetInstanceCount())});
    if (rows.empty()) return underline("Contents", '=') + kIndent + "No instances.\n";
    return underline("Contents", '=') + RenderTextTable({"Class", "Instances"}, rows, 64, kIndent);
}

std::string classSection(const TCIMClass& cimClass) {
    const size_t count = cimClass.GetInstanceCount();
    std::string out = underline(PlainText(cimClass.GetName()) + " (" + std::to_string(count) +
                                    (count == 1 ? " instance)" : " instances)"),
                                '=');
    const std::vector<const TCIMInstance*> instances = ReadingOrder(cimClass);
    const TableColumns columns(cimClass);
    std::vector<std::vector<const TCIMValue*> > values;
    for (const TCIMInstance* instance : instances) values.push_back(columns.ValuesOf(*instance));
    auto text = [](const TCIMValue* value) { return PlainText(value ? DisplayValue(*value) : std::string()); };
    std::vector<std::pair<std::string, std::string> > same;
    std::vector<size_t> varying;
    for (size_t column = 0; column < columns.Names().size(); ++column) {
        const TCIMValue* first = values.front()[column];
        bool constant = true;
        bool anySet = false;
        for (const auto& row : values) {
            const TCIMValue* value = row[column];
            anySet = anySet || value;
            if ((value == nullptr) != (first == nullptr) || (value && *value != *first)) constant = false;
        }
        if (!anySet) continue;
        if (constant) same.push_back({PlainText(columns.Names()[column]), text(first)});
        else varying.push_back(column);
    }
    if (count == 1) return out + RenderTextPairs(same, kMaxValue, kIndent);
    if (!same.empty()) out += kIndent + std::string("Same in every row:\n") + RenderTextPairs(same, kMaxValue, "    ") + "\n";
    if (varying.empty()) return out + kIndent + "All " + std::to_string(count) + " rows are identical.\n";
    std::vector<std::string> headings;
    for (size_t column : varying) headings.push_back(PlainText(columns.Names()[column]));
    std::vector<std::vector<std::string> > rows;
    for (const auto& row : values) {
        std::vector<std::string> cells;
        for (size_t column : varying) cells.push_back(text(row[column]));
        rows.push_back(cells);
    }
    return out + RenderTextTable(headings, rows, kMaxColumn, kIndent);
}

}  // namespace

std::string RenderTextReport(const TContainer& container, const TCIMDateTime& writtenAt) {
    const std::vector<const TCIMClass*> classes = sectionOrder(container);
    std::string out = "norbix diagnostic report\nWritten " + writtenAt.ToUIString() + "\n\n";
    out += machineSection(container) + "\n";
    out += contentsSection(classes);
    for (const TCIMClass* cimClass : classes) out += "\n" + classSection(*cimClass);
    return out;
}
