#include <gtest/gtest.h>

#include "analysis_callbacks.h"
#include "expect_status.h"
#include "finding_class.h"
#include "support/sample_container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

TEST(BasicAnalysisCallbacks, QueryRunsForNoClassOrItsOwn) {
    const struct { std::vector<std::string> classes; bool runs; } cases[] = {
        {{}, true},
        {{"VARNSG_AnalysisFinding"}, true},
        {{"VARNSG_ULKLog", "VARNSG_AnalysisFinding"}, true},
        {{"VARNSG_ULKLog"}, false},
    };
    for (const auto& c : cases) {
        TContainer container;
        FillSampleContainer(container);
        BasicAnalysis().Query(&container, c.classes, 0);
        const TCIMClass* findings = container.FindClass(kFindingClass);
        EXPECT_EQ(findings && findings->GetInstanceCount() > 0, c.runs) << c.classes.size();
    }
}

TEST(BasicAnalysisCallbacks, QueryWithoutContainerIsRefused) {
    EXPECT_STATUS(BasicAnalysis().Query(nullptr, {}, 0), kWyxInvalidArgument);
}

}  // namespace
