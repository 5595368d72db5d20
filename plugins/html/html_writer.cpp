#include "html_writer.h"

#include "html_report.h"
#include "written_at.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

int HtmlWriter::GetType() { return kWyxWriter; }

std::string HtmlWriter::GetName() { return "HTML"; }

void HtmlWriter::WriteContainer(TContainer* container, const std::string& directory) {
    if (!container) throw TWYXException(kWyxInvalidArgument, "HTML WriteContainer without a container");
    WriteHtmlReport(*container, directory, ReportTime());
}
