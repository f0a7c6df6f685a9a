// The stand-in object: its own reading of dispatch arguments, its function tables, the journal.
#include "hostapi/velmar.h"
#include "sim/sim_object.h"

#include <gtest/gtest.h>

using sim::Args;

TEST(StandInObject, Smoke)
{
    sim::Session session;
    {
        auto doc = sim::Object::Create(session, "doc7");
        doc->Face<IVel7Document>().On<&IVel7Document::get_Kind>(11, [](long* kind) { *kind = 5; });
        auto doc7 = doc->As<IVel7Document>();
        long kind = 0;
        EXPECT_EQ(doc7->get_Kind(&kind), S_OK);
        EXPECT_EQ(kind, 5);
    }
    EXPECT_EQ(session.journal.Lines(), (std::vector<std::string>{"doc7#11(&)"}));
    EXPECT_EQ(sim::Object::Live(), 0);
}
