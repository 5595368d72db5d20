#ifndef NORBIX_PARTS_PAGE_H
#define NORBIX_PARTS_PAGE_H

#include <string>

#include "class_page.h"

struct Part;

// The parts page and the data file of its rows: every part with its verdict,
// kind, names, latest evidence and evidence count, filterable by verdict and
// kind; below it, for each part that is not OK, its evidence, each piece
// linking to its row.
void RenderPartsPage(const ReportModel& model, const PageNames& names, const WriteFile& write);

// The anchor of a part's evidence on the parts page ("part-3"), for the
// index-th part of the model; empty for a part whose evidence is not listed.
std::string PartAnchor(const ReportModel& model, size_t index);

// How many pieces of evidence, as read: "1 piece of evidence", "3 pieces of evidence".
std::string EvidenceCount(size_t count);

#endif
