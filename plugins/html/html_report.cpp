#include "html_report.h"

#include "class_page.h"
#include "index_page.h"
#include "page_names.h"
#include "report_file.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/progress.h"
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

    std::vector<const TCIMClass*> classes;
    for (const TCIMClass* cimClass : container.GetClasses())
        if (cimClass->GetInstanceCount()) classes.push_back(cimClass);
    const PageNames pages(classes);
    const std::string machine = MachineLine(container);
    for (const TCIMClass* cimClass : classes)
        RenderClassPages(*cimClass, pages, machine, [&prefix](const std::string& name, const std::string& html) {
            WriteReportFile(prefix + name, html, false);
            AdvanceProgress("HTML pages written");
        });
    WriteReportFile(prefix + "index.html", RenderIndexPage(container, pages, writtenAt), false);
}
