#include "html_report.h"

#include "class_page.h"
#include "html_page.h"
#include "index_page.h"
#include "page_names.h"
#include "report_file.h"
#include "report_model.h"
#include "timeline_page.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

void makeDirectory(const std::string& directory) {
    try {
        if (!TOSSpecific::DirExists(directory)) TOSSpecific::CreateDir(directory);
    } catch (const TWYXException& e) {
        throw TWYXException(kWyxAccessDenied, directory + ": " + e.what());
    }
}

}  // namespace

void WriteHtmlReport(const TContainer& container, const std::string& directory, const TCIMDateTime& writtenAt) {
    if (directory.empty()) throw TWYXException(kWyxAccessDenied, "no directory given for the HTML files");
    makeDirectory(directory);
    const std::string& sep = TOSSpecific::kFileSeparator;
    const bool endsInSeparator = directory.back() == '/' || directory.compare(directory.size() - 1, 1, sep) == 0;
    const std::string prefix = endsInSeparator ? directory : directory + sep;
    // Every file of the report goes out here.
    const WriteFile write = [&prefix](const std::string& name, const std::string& content) {
        WriteReportFile(prefix + name, content, false);
    };

    const ReportModel model = BuildReportModel(container, writtenAt);
    std::vector<const TCIMClass*> classes;
    for (const ClassTable& table : model.classes) classes.push_back(table.cimClass);
    const PageNames pages(classes);
    write(kStyleFile, ReportStyleSheet());
    write(kScriptFile, ReportScript());
    for (const ClassTable& table : model.classes) RenderClassPage(table, model, pages, write);
    RenderTimelinePage(model, pages, write);
    // Last: an index on disk means the pages it links to are there.
    write(kIndexPage, RenderIndexPage(model, pages));
}
