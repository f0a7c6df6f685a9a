// The host version number, its two texts and the kind of the active document.
#include "hostapi/host_version.h"

#include "core/trace_log.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

class HostVersion : public sim::StandInTest {
protected:
    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    IVel7ApplicationPtr App7() { return velmar().App7().As<IVel7Application>(); }
};

TEST_F(HostVersion, ComposesMajorMinorReleaseAndIgnoresBuild)
{
    UseVelmar({15, 0, 1, 4711});
    EXPECT_EQ(GetHostVersion(App5()), 1501u);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.50(&,&,&,&)"}));

    velmar().SetVersion({14, 0, 2, 9});
    EXPECT_EQ(GetHostVersion(App5()), 1402u);
}

TEST_F(HostVersion, TextsShowTheFourPartsAndTheNumber)
{
    UseVelmar({15, 0, 1, 4711});
    EXPECT_EQ(GetHostVersionString(App5()), L"15.0.1.4711");
    EXPECT_EQ(GetHostVersionText(App5()), L"1501");
}

TEST_F(HostVersion, AnEmptyApplicationSlotGivesZeroAndTheOlderPaths)
{
    EXPECT_EQ(GetHostVersion(nullptr), 0u);
    EXPECT_EQ(GetHostVersionText(nullptr), L"0");
    EXPECT_EQ(GetHostVersionString(nullptr), L"0.0.0.0");
    for (unsigned threshold : {kHostVersion1400, kHostVersion1401, kHostVersion1402, kHostVersion1500, kHostVersion1501})
        EXPECT_LT(GetHostVersion(nullptr), threshold);
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(HostVersion, AFailingVersionQueryRaisesWithTheApplicationsInterface)
{
    velmar().Faults().FailMember("app5.50", E_FAIL);
    try {
        GetHostVersion(App5());
        FAIL() << "no error";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_FAIL);
        EXPECT_EQ(error.GUID_(), __uuidof(IVel5Application));
    }
}

TEST_F(HostVersion, DocumentTypeIsTheActiveDocumentsKind)
{
    for (int type : {1, 2, 3, 4, 5, 7}) {
        velmar().OpenDocument(type);
        EXPECT_EQ(GetDocumentType(App7()), type);
    }
    EXPECT_EQ(journal().LinesOf("app7").size(), 6u);
    EXPECT_EQ(journal().Count("doc7#11(&)"), 6u);
}

TEST_F(HostVersion, NoActiveDocumentGivesZeroWithoutAskingForAKind)
{
    velmar().OpenDocument(5);
    velmar().Activate(nullptr);
    EXPECT_EQ(GetDocumentType(App7()), 0);
    EXPECT_EQ(journal().Lines(), (Lines{"app7#19(&)"}));
}
