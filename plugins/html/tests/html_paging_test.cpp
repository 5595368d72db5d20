#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "class_page.h"
#include "class_rows.h"
#include "page_names.h"
#include "page_navigation.h"
#include "page_split.h"
#include "paged_log.h"
#include "support/sample_container.h"

namespace {

TEST(PageSplit, CutsRowsIntoPagesInOrder) {
    const struct {
        size_t rows, perPage, pages;
        std::vector<std::pair<size_t, size_t> > ranges;   // [first, end) of each page
    } cases[] = {
        {0, 1000, 1, {{0, 0}}},
        {1, 1000, 1, {{0, 1}}},
        {1000, 1000, 1, {{0, 1000}}},
        {1001, 1000, 2, {{0, 1000}, {1000, 1001}}},
        {2500, 1000, 3, {{0, 1000}, {1000, 2000}, {2000, 2500}}},
        {3000, 1000, 3, {{0, 1000}, {1000, 2000}, {2000, 3000}}},
        {3, 0, 3, {{0, 1}, {1, 2}, {2, 3}}},   // no page without room for a row
    };
    for (const auto& c : cases) {
        const PageSplit split(c.rows, c.perPage);
        EXPECT_EQ(split.Rows(), c.rows);
        ASSERT_EQ(split.Pages(), c.pages) << c.rows;
        for (size_t page = 0; page < c.pages; ++page) {
            EXPECT_EQ(split.FirstRow(page), c.ranges[page].first) << c.rows << " page " << page;
            EXPECT_EQ(split.EndRow(page), c.ranges[page].second) << c.rows << " page " << page;
            for (size_t row = c.ranges[page].first; row < c.ranges[page].second; ++row)
                ASSERT_EQ(split.PageOfRow(row), page) << c.rows << " row " << row;
        }
        EXPECT_EQ(split.FirstRow(c.pages), split.EndRow(c.pages)) << "past the last page " << c.rows;
        EXPECT_EQ(split.FirstRow(static_cast<size_t>(-1)), c.rows);
    }
}

TEST(PageNames, LaterPagesAreNumberedAfterTheFirstPagesName) {
    TContainer container;
    std::vector<const TCIMClass*> classes;
    for (const char* name : {"VARNSG_ULKLog", "Index", "a.b"}) classes.push_back(container.AddClass(name));
    const PageNames pages(classes);
    const struct { const char* name; size_t page; const char* file; } cases[] = {
        {"VARNSG_ULKLog", 0, "VARNSG_ULKLog.html"},
        {"VARNSG_ULKLog", 1, "VARNSG_ULKLog.p2.html"},
        {"VARNSG_ULKLog", 99, "VARNSG_ULKLog.p100.html"},
        {"Index", 2, "Index-2.p3.html"},
        {"a.b", 0, "a_b.html"},
        {"a.b", 1, "a_b.p2.html"},
        {"Other", 1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(pages.Of(c.name, c.page), c.file) << c.name << " " << c.page;
}

TEST(ClassRows, TellsThePageOfEachInstanceInReadingOrder) {
    TContainer container;
    const ClassRows rows(*AddReversedLog(container, 5), 2);
    ASSERT_EQ(rows.Split().Pages(), 3u);
    const size_t positionAtRow[] = {4, 3, 2, 1, 0};
    const size_t pageOfPosition[] = {2, 1, 1, 0, 0};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rows.PositionAt(i), positionAtRow[i]) << i;
        EXPECT_EQ(rows.PageOf(i), pageOfPosition[i]) << i;
    }
    EXPECT_EQ(rows.InstanceAt(0), container.FindClass("VARNSG_ULKLog")->EnumerateInstances(true)[4]);
    EXPECT_EQ(rows.PageOf(5), 0u);   // no such instance
}

std::map<std::string, std::string> renderPages(const TCIMClass& cimClass) {
    const PageNames names({&cimClass});
    std::map<std::string, std::string> pages;
    std::vector<std::string> order;
    RenderClassPages(cimClass, names, "srv01", [&](const std::string& name, const std::string& html) {
        EXPECT_TRUE(pages.emplace(name, html).second) << "written twice: " << name;
        order.push_back(name);
    });
    EXPECT_EQ(order.front(), names.Of(cimClass.GetName()));
    return pages;
}

std::vector<std::string> rowIds(const std::string& html) {
    std::vector<std::string> ids;
    const std::regex row("<tr id=\"(i[0-9]+)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), row), end; it != end; ++it) ids.push_back((*it)[1]);
    return ids;
}

bool has(const std::string& html, const std::string& text) { return html.find(text) != std::string::npos; }

TEST(ClassPages, ManyInstancesMakeSeveralPagesInReadingOrder) {
    TContainer container;
    const size_t count = 2 * kRowsPerPage + 1;
    const std::map<std::string, std::string> pages = renderPages(*AddReversedLog(container, count));
    ASSERT_EQ(pages.size(), 3u);
    const auto range = [count](size_t first, size_t last) {
        return "Rows " + std::to_string(first) + "&ndash;" + std::to_string(last) + " of " + std::to_string(count);
    };
    const struct { const char* name; size_t rows, firstId; std::string range; } cases[] = {
        {"VARNSG_ULKLog.html", kRowsPerPage, count - 1, range(1, kRowsPerPage)},
        {"VARNSG_ULKLog.p2.html", kRowsPerPage, count - 1 - kRowsPerPage, range(kRowsPerPage + 1, 2 * kRowsPerPage)},
        {"VARNSG_ULKLog.p3.html", 1, 0, range(count, count)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(pages.count(c.name)) << c.name;
        const std::string& html = pages.at(c.name);
        const std::vector<std::string> ids = rowIds(html);
        ASSERT_EQ(ids.size(), c.rows) << c.name;
        EXPECT_EQ(ids.front(), "i" + std::to_string(c.firstId)) << c.name;
        EXPECT_TRUE(has(html, c.range)) << c.name;
        EXPECT_TRUE(has(html, std::to_string(count) + " instances &middot; page")) << c.name;
        EXPECT_TRUE(has(html, "Sorting and filtering apply to the rows of this page only.")) << c.name;
        EXPECT_TRUE(has(html, ">" + std::to_string(c.rows) + " of " + std::to_string(c.rows) + " rows<")) << c.name;
    }
    EXPECT_TRUE(has(pages.at("VARNSG_ULKLog.p2.html"), "<title>VARNSG_ULKLog (page 2 of 3)</title>"));
}

TEST(ClassPages, EachPageLinksToItsNeighboursAndEnds) {
    TContainer container;
    const std::map<std::string, std::string> pages = renderPages(*AddReversedLog(container, 2 * kRowsPerPage + 1));
    const std::string index = "<a href=\"index.html\">Index</a>";
    const std::string first = "<a href=\"VARNSG_ULKLog.html\">First</a>";
    const std::string last = "<a href=\"VARNSG_ULKLog.p3.html\">Last</a>";
    const struct { const char* name; std::vector<std::string> present, absent; } cases[] = {
        {"VARNSG_ULKLog.html",
         {index, "<span class=\"off\">First</span>", "<span class=\"off\">Previous</span>",
          "<a href=\"VARNSG_ULKLog.p2.html\" rel=\"next\">Next</a>", last, "<strong aria-current=\"page\">1</strong>"},
         {first, "rel=\"prev\""}},
        {"VARNSG_ULKLog.p2.html",
         {index, first, "<a href=\"VARNSG_ULKLog.html\" rel=\"prev\">Previous</a>",
          "<a href=\"VARNSG_ULKLog.p3.html\" rel=\"next\">Next</a>", last,
          "<a href=\"VARNSG_ULKLog.html\">1</a> <strong aria-current=\"page\">2</strong> "
          "<a href=\"VARNSG_ULKLog.p3.html\">3</a>"},
         {"class=\"off\""}},
        {"VARNSG_ULKLog.p3.html",
         {index, first, "<a href=\"VARNSG_ULKLog.p2.html\" rel=\"prev\">Previous</a>",
          "<span class=\"off\">Next</span>", "<span class=\"off\">Last</span>"},
         {last, "rel=\"next\""}},
    };
    for (const auto& c : cases) {
        const std::string& html = pages.at(c.name);
        for (const std::string& text : c.present) EXPECT_TRUE(has(html, text)) << c.name << ": " << text;
        for (const std::string& text : c.absent) EXPECT_FALSE(has(html, text)) << c.name << ": " << text;
    }
}

TEST(ClassPages, AClassThatFitsOnePageLooksAsBefore) {
    for (const size_t count : {size_t(1), kRowsPerPage}) {
        TContainer container;
        const std::map<std::string, std::string> pages = renderPages(*AddReversedLog(container, count));
        ASSERT_EQ(pages.size(), 1u) << count;
        const std::string& html = pages.at("VARNSG_ULKLog.html");
        EXPECT_EQ(rowIds(html).size(), count);
        EXPECT_TRUE(has(html, "<p>" + std::to_string(count) + (count == 1 ? " instance</p>" : " instances</p>")));
        for (const char* text : {"nav class=\"pages\"", "Rows ", "this page only", "(page "})
            EXPECT_FALSE(has(html, text)) << count << ": " << text;
    }
}

// The page numbers a navigation line links to or marks as current, in order.
std::vector<int> pageNumbers(const std::string& html) {
    std::vector<int> numbers;
    const std::regex number(">([0-9]+)</(a|strong)>");
    for (std::sregex_iterator it(html.begin(), html.end(), number), end; it != end; ++it)
        numbers.push_back(std::stoi((*it)[1]));
    return numbers;
}

TEST(PageNavigation, ListsFirstLastAndNearbyPagesOnly) {
    TContainer container;
    const PageNames names({container.AddClass("C")});
    const struct { size_t page, pages; std::vector<int> numbers; int ellipses; } cases[] = {
        {0, 2, {1, 2}, 0},
        {0, 100, {1, 2, 3, 100}, 1},
        {3, 100, {1, 2, 3, 4, 5, 6, 100}, 1},
        {49, 100, {1, 48, 49, 50, 51, 52, 100}, 2},
        {96, 100, {1, 95, 96, 97, 98, 99, 100}, 1},
        {99, 100, {1, 98, 99, 100}, 1},
        {4, 9, {1, 3, 4, 5, 6, 7, 9}, 2},
        {2, 6, {1, 2, 3, 4, 5, 6}, 0},
    };
    for (const auto& c : cases) {
        const std::string html = PageNavigation(names, "C", c.page, c.pages);
        EXPECT_EQ(pageNumbers(html), c.numbers) << c.page << " of " << c.pages;
        EXPECT_TRUE(has(html, "<strong aria-current=\"page\">" + std::to_string(c.page + 1) + "</strong>"));
        size_t ellipses = 0;
        for (size_t at = html.find("&hellip;"); at != std::string::npos; at = html.find("&hellip;", at + 1)) ++ellipses;
        EXPECT_EQ(ellipses, static_cast<size_t>(c.ellipses)) << c.page << " of " << c.pages;
    }
    EXPECT_TRUE(has(PageNavigation(names, "C", 49, 100), "<a href=\"C.p100.html\">100</a>"));
}

}  // namespace
