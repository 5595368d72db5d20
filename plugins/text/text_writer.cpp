#include "text_writer.h"

#include "text_report.h"
#include "wyxcore/exception.h"
#include "wyxcore/output_file.h"
#include "wyxcore/status.h"
#include "written_at.h"

int TextWriter::GetType() { return kWyxWriter; }

std::string TextWriter::GetName() { return "Text"; }

void TextWriter::WriteContainer(TContainer* container, const std::string& base) {
    if (!container) throw TWYXException(kWyxInvalidArgument, "Text WriteContainer without a container");
    WriteOutputFile(base + ".txt", RenderTextReport(*container, ReportTime()), true);
}
