// Which objects of a fragment make a part's drawing: construction aids never, lines of the auxiliary
// style never, everything else always.
#include "insert2d/fragment_admission.h"

#include "hostapi/velmar5.h"

#include <gtest/gtest.h>

TEST(FragmentAdmission, EachTypeIsDecidedByItsRule)
{
    using Rule = FragmentAdmission::Rule;
    struct Row {
        long type;
        Rule rule;
        short kind;
        const IID* iid;
        DISPID style;
    };
    const Row rows[] = {
        {9, Rule::Never, 0, nullptr, 0},    {10, Rule::Never, 0, nullptr, 0},   {13, Rule::Never, 0, nullptr, 0},
        {14, Rule::Never, 0, nullptr, 0},   {15, Rule::Never, 0, nullptr, 0},   {28, Rule::Never, 0, nullptr, 0},
        {1, Rule::ByStyle, 11, &__uuidof(IVel5SegmentParam), 5},
        {2, Rule::ByStyle, 20, &__uuidof(IVel5ArcParam), 4},
        {3, Rule::ByStyle, 12, &__uuidof(IVel5CircleParam), 7},
        {32, Rule::ByStyle, 22, &__uuidof(IVel5Type32Param), 6},
        {33, Rule::ByStyle, 23, &__uuidof(IVel5Type33Param), 9},
        {34, Rule::ByStyle, 23, &__uuidof(IVel5Type33Param), 9},
        {35, Rule::ByStyle, 91, &__uuidof(IVel5Type35Param), 6},
        {4, Rule::Always, 0, nullptr, 0},   {27, Rule::Always, 0, nullptr, 0},  {0, Rule::Always, 0, nullptr, 0},
    };
    for (const Row& row : rows) {
        const FragmentAdmission admission = FragmentAdmissionOf(row.type);
        EXPECT_EQ(admission.rule, row.rule) << row.type;
        EXPECT_EQ(admission.structureKind, row.kind) << row.type;
        EXPECT_EQ(admission.structureIid ? *admission.structureIid : GUID{}, row.iid ? *row.iid : GUID{}) << row.type;
        EXPECT_EQ(admission.styleProperty, row.style) << row.type;
    }
    EXPECT_FALSE(AdmitsStyle(6));
    EXPECT_TRUE(AdmitsStyle(1));
    EXPECT_TRUE(AdmitsStyle(0));
}
