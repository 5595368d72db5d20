#include "html_report.h"

#include "class_page.h"
#include "index_page.h"
#include "page_names.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/output_file.h"
#include "wyxcore/status.h"

void WriteHtmlReport(const TContainer& container, const std::string& directory, const TCIMDateTime& writtenAt) {
    if (directory.empty()) throw TWYXException(kWyxAccessDenied, "no directory given for the HTML files");
    TOutputDirectory pages(directory);

    std::vector<const TCIMClass*> classes;
    for (const TCIMClass* cimClass : container.GetClasses())
        if (cimClass->GetInstanceCount()) classes.push_back(cimClass);
    const PageNames names(classes);
    const std::string machine = MachineLine(container);
    for (const TCIMClass* cimClass : classes)
        RenderClassPages(*cimClass, names, machine, [&pages](const std::string& name, const std::string& html) {
            pages.Add(name, html);
        });
    pages.Add("index.html", RenderIndexPage(container, names, writtenAt));
    pages.Commit();
}
