#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "expect_status.h"
#include "support/sample_container.h"
#include "support/schema_file.h"
#include "version_catalog.h"
#include "version_check.h"
#include "version_checker.h"
#include "wyxcore/exception.h"
#include "wyxcore/logger.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {

TEST(ParseCatalog, ReadsComponentsAndVersions) {
    const std::vector<CatalogEntry> entries = ParseCatalog(
        "# update media\r\n\r\nSystem BIOS, 1.08\r\n  Server OS ,5.2  \n\tFirmware, release 3, 2.31a\n", "c");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].component, "System BIOS");
    EXPECT_EQ(entries[0].version, "1.08");
    EXPECT_EQ(entries[1].component, "Server OS");
    EXPECT_EQ(entries[1].version, "5.2");
    EXPECT_EQ(entries[2].component, "Firmware, release 3");
    EXPECT_EQ(entries[2].version, "2.31a");
}

TEST(ParseCatalog, MalformedCatalogsNameTheirFault) {
    const struct { const char* text; const char* detail; } cases[] = {
        {"BIOS 1.08\n", "cat.txt line 1: expected \"component, version\""},
        {"BIOS, 1\n, 2.0\n", "cat.txt line 2: no component name"},
        {"# c\nBIOS,   \n", "cat.txt line 2: no version"},
        {"BIOS, 1\nbios, 2\n", "cat.txt line 2: component \"bios\" listed twice"},
        {"", "cat.txt: lists no component"},
        {"# only a comment\n\n", "cat.txt: lists no component"},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS_DETAIL(ParseCatalog(c.text, "cat.txt"), kWyxFileBadValue, c.detail) << c.text;
    }
}

std::string text(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string("-");
}

// Each check as "Component|Installed|Available|UpToDate|Status|SourceClass".
std::vector<std::string> checks(const TContainer& container) {
    std::vector<std::string> out;
    const TCIMClass* cimClass = container.FindClass(kVersionCheckClass);
    if (!cimClass) return out;
    for (const TCIMInstance* c : cimClass->EnumerateInstances(true))
        out.push_back(text(*c, "Component") + "|" + text(*c, "InstalledVersion") + "|" +
                      text(*c, "AvailableVersion") + "|" + text(*c, "UpToDate") + "|" + text(*c, "Status") + "|" +
                      text(*c, "SourceClass"));
    return out;
}

TEST(AddVersionChecks, ComparesCatalogWithContainer) {
    TContainer container;
    FillSampleContainer(container);   // operating system "Server OS" version 5.2
    DeclareTestClass(container, "X_Firmware", {{"Name", kCIMString}, {"Version", kCIMString}});
    AddTestInstance(container, "X_Firmware", {{"Name", "SP Firmware"}, {"Version", "2.31a"}});
    AddTestInstance(container, "X_Firmware", {{"Name", "Diagnostics"}, {"Version", "1.10"}});
    AddTestInstance(container, "X_Firmware", {{"Name", "Empty"}});
    const std::vector<CatalogEntry> catalog = {
        {"server os", "5.10"}, {"SP Firmware", "2.31a"}, {"Diagnostics", "1.9"}, {"RAID driver", "4.0"},
        {"Empty", "1.0"}};
    AddVersionChecks(container, catalog, "media/catalog.txt");
    const std::vector<std::string> expected = {
        "server os|5.2|5.10|No|Update available|VARNSG_OperatingSystem",
        "SP Firmware|2.31a|2.31a|Yes|Up to date|X_Firmware",
        "Diagnostics|1.10|1.9|Yes|Newer than catalog|X_Firmware",
        "RAID driver||4.0|No|Not installed|",
        "Empty||1.0|No|Not installed|",
    };
    EXPECT_EQ(checks(container), expected);
    // The same catalog again adds nothing; a new version of one component adds its check.
    AddVersionChecks(container, catalog, "media/catalog.txt");
    EXPECT_EQ(checks(container).size(), expected.size());
    AddVersionChecks(container, {{"SP Firmware", "2.40"}}, "media/catalog.txt");
    EXPECT_EQ(checks(container).back(), "SP Firmware|2.31a|2.40|No|Update available|X_Firmware");
}

TEST(VersionChecker, ReadsCatalogFromMediaDirectory) {
    std::ofstream(kCatalogFileName) << "Server OS, 5.2\n";
    TContainer container;
    FillSampleContainer(container);
    VersionChecker checker;
    EXPECT_EQ(checker.GetName(), "Kalvix Version Checker");
    EXPECT_EQ(checker.GetType(), 3);
    checker.AdvancedQuery(&container, ".");
    EXPECT_EQ(checks(container), std::vector<std::string>({"Server OS|5.2|5.2|Yes|Up to date|VARNSG_OperatingSystem"}));
    std::remove(kCatalogFileName);
}

TEST(VersionChecker, MissingOrMalformedCatalogThrowsAndIsLogged) {
    const struct { const char* content; int status; const char* logged; } cases[] = {
        {nullptr, kWyxFileNotFound, "version catalog"},
        {"no comma here\n", kWyxFileBadValue, "line 1: expected \"component, version\""},
    };
    for (const auto& c : cases) {
        std::remove(kCatalogFileName);
        if (c.content) std::ofstream(kCatalogFileName) << c.content;
        TContainer container;
        FillSampleContainer(container);
        ILogger* log = TRootObject::GetCoreLogger();
        log->ClearEntries();
        EXPECT_STATUS(VersionChecker().AdvancedQuery(&container, "."), c.status);
        const std::vector<TLogEntry> entries = log->GetEntries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].type, kWyxLogError);
        EXPECT_NE(entries[0].message.find(c.logged), std::string::npos) << entries[0].message;
        const TCIMClass* added = container.FindClass(kVersionCheckClass);
        EXPECT_TRUE(!added || added->GetInstanceCount() == 0);
    }
    std::remove(kCatalogFileName);
}

TEST(CatalogPath, JoinsWithOneSeparator) {
    EXPECT_EQ(CatalogPath("media/"), "media/catalog.txt");
    const std::string joined = CatalogPath("media");
    EXPECT_EQ(joined.substr(0, 5), "media");
    EXPECT_EQ(joined.substr(6), "catalog.txt");
    EXPECT_EQ(CatalogPath(""), "catalog.txt");
}

TEST(VersionCheckClass, MatchesTheSchemaFile) {
    TContainer container;
    const auto declared = ReportSchemaProperties(kVersionCheckClass);
    ASSERT_FALSE(declared.empty());
    EXPECT_EQ(ClassProperties(*VersionCheckClass(container)), declared);
}

}  // namespace
