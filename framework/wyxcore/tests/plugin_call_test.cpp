#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <stdexcept>

#include "expect_status.h"
#include "flat_guard.h"
#include "plugin_manager_impl.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin_call.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"
#include "test_support.h"

// Allocation failure on demand. Natively this replacement serves the framework
// library too; a Windows DLL keeps its runtime's own.
namespace {
bool failAllocations = false;
}

void* operator new(std::size_t size) {
    if (failAllocations) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

bool onWindows() { return TOSSpecific::kFileSeparator == "\\"; }

struct Thrown {
    const char* what;
    std::function<void()> call;
    int status;   // kWyxOK: nothing thrown
    const char* detail;
};

TEST(CallPlugin, WhatAPluginLetsOutBecomesTheStatusOfTheStep) {
    const Thrown cases[] = {
        {"returns", [] {}, kWyxOK, ""},
        {"its own status passes unchanged", [] { throw TWYXException(kWyxAccessDenied, "d"); }, kWyxAccessDenied,
         "d"},
        {"allocation failure", [] { throw std::bad_alloc(); }, kWyxOutOfMemory, "P"},
        {"standard exception", [] { throw std::runtime_error("broken"); }, kWyxPluginFailed, "P: broken"},
        {"logic error", [] { throw std::out_of_range("index"); }, kWyxPluginFailed, "P: index"},
        {"not an exception class", [] { throw 42; }, kWyxPluginFailed, "P: an exception of unknown type"},
    };
    for (const Thrown& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_STATUS_DETAIL(CallPlugin("P", kWyxPluginFailed, c.call), c.status, c.detail);
    }
    // The step chooses the status of a plain failure.
    EXPECT_STATUS(CallPlugin("Q", kWyxQueryFailed, [] { throw std::runtime_error("x"); }), kWyxQueryFailed);
}

TEST(GuardFlat, NothingButAStatusLeavesAFlatEntryPoint) {
    EXPECT_EQ(kWyxOK, GuardFlat([] { return int(kWyxOK); }));
    EXPECT_EQ(kWyxFailure, GuardFlat([]() -> int { throw std::bad_alloc(); }));
    EXPECT_EQ(kWyxFailure, GuardFlat([]() -> int { throw TWYXException(kWyxTypeMismatch); }));
    EXPECT_EQ(kWyxFailure, GuardFlat([]() -> int { throw 1; }));
}

// Each entry point that allocates, with every allocation failing: a status,
// never an exception through the C interface.
TEST(FlatEntryPoints, AllocationFailureIsAFailureStatus) {
    if (onWindows()) GTEST_SKIP() << "the framework DLL does not use this binary's allocator";
    void* dateTime = nullptr;
    ASSERT_EQ(kWyxOK, wyxNewCIMDateTime(&dateTime));
    const struct {
        const char* what;
        std::function<int()> call;
    } cases[] = {
        {"wyxWriteLog", [] { return wyxWriteLog(nullptr, kWyxLogError, "a message that has to be copied"); }},
        {"wyxNewCIMDateTime", [] {
             void* made = nullptr;
             return wyxNewCIMDateTime(&made);
         }},
        {"wyxNewCIMValueArray", [] {
             void* made = nullptr;
             return wyxNewCIMValueArray(&made);
         }},
        // A refusal whose own exception cannot be made.
        {"wyxSetDateTime", [&] { return wyxSetDateTime(dateTime, 2026, 2, 30, 0, 0, 0, 0, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        failAllocations = true;
        int status = kWyxOK;
        EXPECT_NO_THROW(status = c.call());
        failAllocations = false;
        EXPECT_EQ(kWyxFailure, status);
    }
    EXPECT_EQ(kWyxOK, wyxDeleteCIMDateTime(dateTime));
    TRootObject::GetCoreLogger()->ClearEntries();
}

// A plug-in whose creation entry throws is refused like one that fails to
// load; the others load.
TEST(PluginLoading, ACreationEntryThatThrowsRefusesOnlyThatPlugin) {
    testsupport::TempDir dir;
    const std::string ext = TOSSpecific::kPluginExtension;
    const std::string fixtures = testsupport::RequiredEnv("NORBIX_FIXTURES");
    for (const char* name : {"fixture_throw_create", "fixture_html"})
        testsupport::WriteBytes(dir.path(name + ext), testsupport::ReadBytes(fixtures + "/" + name + ext));
    testsupport::SetEnv("WYX_PLUGIN_DIR", dir.path());
    TRootObject::GetCoreLogger()->ClearEntries();
    PluginManager manager;
    EXPECT_NO_THROW(manager.LoadPlugins());
    testsupport::UnsetEnv("WYX_PLUGIN_DIR");
    ASSERT_EQ(1u, manager.GetPlugins().size());
    EXPECT_EQ("HTML", manager.GetPlugins()[0]->GetCallbacks()->GetName());
    const std::vector<TLogEntry> entries = TRootObject::GetCoreLogger()->GetEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(kWyxLogError, entries[0].type);
    EXPECT_EQ("Couldn't load plug-in " + dir.path("fixture_throw_create" + ext) +
                  ": Plug-in could not be loaded: fixture_throw_create: fixture failure",
              entries[0].message);
    TRootObject::GetCoreLogger()->ClearEntries();
}

}  // namespace
