// A machine collector hands each class to its function; a class that fails is
// an Error naming it and the others are still collected; notes are Debug
// records, each said once.
#include <gtest/gtest.h>

#include "fake_tree.h"
#include "instance_builder.h"
#include "machine_collector.h"
#include "wyxcore/exception.h"
#include "wyxcore/logger.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {

void addOne(TContainer& container, Notes& notes) {
    InstanceBuilder(container, "VARNSG_Good").Text("Name", "x").Text("Empty", "").Commit();
    notes.push_back("No widget source");
}

void fail(TContainer&, Notes& notes) {
    notes.push_back("No widget source");
    throw TWYXException(kWyxUnknownProperty, "Bogus");
}

TEST(MachineCollector, EachClassOnItsOwnNotesAtDebugLevel) {
    // The core log of this binary is made here first, at the Debug level.
    machinetest::ScopedEnv level("WYX_LOG_LEVEL", "3");
    ILogger* log = TRootObject::GetCoreLogger();
    ASSERT_EQ(kWyxLogDebug, log->GetLevel());
    log->ClearEntries();
    TContainer container(TContainer::kEmpty);
    TCIMClass* good = container.AddClass("VARNSG_Good");
    good->DeclareProperty("CreationClassName", kCIMString);
    good->DeclareProperty("Name", kCIMString);
    good->DeclareProperty("Empty", kCIMString);
    MachineCollector collector("Widgets", {{"VARNSG_Bad", fail}, {"VARNSG_Good", addOne}});
    EXPECT_EQ(kWyxCollector, collector.GetType());
    collector.Query(&container, {"VARNSG_Bad", "VARNSG_Good", "VARNSG_Other"}, 0);

    const std::vector<TCIMInstance*> rows = good->EnumerateInstances(true);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("VARNSG_Good", rows[0]->GetPropertyValue("CreationClassName")->GetText());
    EXPECT_EQ(nullptr, rows[0]->GetPropertyValue("Empty"));   // unread values stay absent
    std::vector<std::pair<int, std::string> > logged;
    for (const TLogEntry& entry : log->GetEntries()) logged.emplace_back(entry.type, entry.message);
    log->ClearEntries();
    const std::vector<std::pair<int, std::string> > expected = {
        {kWyxLogError,
         std::string("Widgets: VARNSG_Bad not collected: ") + TWYXException(kWyxUnknownProperty, "Bogus").what()},
        {kWyxLogDebug, "No widget source"},
    };
    EXPECT_EQ(expected, logged);
}

}  // namespace
