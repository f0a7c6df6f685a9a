// Component insertion run as the user runs it: command 1 through the catch-all, the reference book's
// choice, the part panel's scripted runs, and the assembly read back afterwards.
#include "insertion_stand_in.h"

#include <gmock/gmock.h>

using namespace insertion_test;

namespace {

class ComponentInsertion : public InsertionStandIn {};

} // namespace

TEST_F(ComponentInsertion, Probe)
{
    Choose(Bolt(), {kPlaceOnTop, L"cancel"});
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.title + L": " + outcome.message) << sim::Utf8(trace);
    for (const auto& line : journal().Lines())
        std::printf("%s\n", line.c_str());
    ASSERT_EQ(assembly().Components().size(), 1u);
    for (const auto& line : Described(0))
        std::printf("%s\n", line.c_str());
}
