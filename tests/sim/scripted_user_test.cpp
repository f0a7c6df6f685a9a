// The scripted user answers Velmar's message box for the library.
#include "hostapi/velmar.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

class ScriptedUser : public sim::StandInTest {
protected:
    long ShowMessage(const wchar_t* text, long flags)
    {
        long button = 0;
        const _bstr_t message(text), caption(L"Нормсет");
        EXPECT_EQ(velmar().App7().As<IVel7Application>()->ShowMessage(message, caption, flags, &button), S_OK);
        return button;
    }
};

TEST_F(ScriptedUser, QueuedAnswersAreGivenInOrderAndTheQuestionsRecorded)
{
    velmar().User().Answer("message", IDYES);
    velmar().User().Answer("message", IDNO);
    EXPECT_EQ(ShowMessage(L"Продолжить?", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(ShowMessage(L"Заменить?", MB_YESNO | MB_ICONQUESTION), IDNO);
    const auto& asked = velmar().User().Questions();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, L"Продолжить?");
    EXPECT_EQ(asked[0].caption, L"Нормсет");
    EXPECT_EQ(asked[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(asked[1].text, L"Заменить?");
    EXPECT_TRUE(velmar().User().Unanswered().empty());
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"app7#34(\"Продолжить?\",\"Нормсет\",36,&)",
                                                           "app7#34(\"Заменить?\",\"Нормсет\",36,&)"}));
}

TEST_F(ScriptedUser, AMessageNobodyAnsweredGetsOkAndIsRecorded)
{
    EXPECT_EQ(ShowMessage(L"Готово.", MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(velmar().User().Unanswered().size(), 1u);
    EXPECT_EQ(velmar().User().Unanswered()[0].text, L"Готово.");
}

TEST_F(ScriptedUser, AnAnswerOfAnotherKindDoesNotAnswerAMessage)
{
    velmar().User().Answer("point", 1L);
    EXPECT_EQ(ShowMessage(L"?", MB_OK), IDOK);
    EXPECT_EQ(velmar().User().Pending(), 1u);
    velmar().User().Clear();   // the point answer was the point of this test
}
