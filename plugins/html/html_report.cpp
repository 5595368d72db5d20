#include "html_report.h"

#include "class_page.h"
#include "html_page.h"
#include "index_page.h"
#include "page_names.h"
#include "parts_page.h"
#include "report_model.h"
#include "timeline_page.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/progress.h"
#include "wyxcore/status.h"

void WriteHtmlReport(const TContainer& container, const std::string& directory, const TCIMDateTime& writtenAt) {
    if (directory.empty()) throw TWYXException(kWyxAccessDenied, "no directory given for the HTML files");
    TOutputDirectory files(directory);
    // Every file of the report goes out here.
    const WriteFile write = [&files](const std::string& name, const std::string& content) {
        files.Add(name, content);
        AdvanceProgress("HTML pages written");
    };

    const ReportModel model = BuildReportModel(container, writtenAt);
    std::vector<const TCIMClass*> classes;
    for (const ClassTable& table : model.classes) classes.push_back(table.cimClass);
    const PageNames pages(classes);
    write(kStyleFile, ReportStyleSheet());
    write(kScriptFile, ReportScript());
    for (const ClassTable& table : model.classes) RenderClassPage(table, model, pages, write);
    RenderTimelinePage(model, pages, write);
    RenderPartsPage(model, pages, write);
    write(kIndexPage, RenderIndexPage(model, pages));
    files.Commit();
}
