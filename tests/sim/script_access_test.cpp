// Part scripts call the stand-ins by name through VBScript, with VBScript's own way of passing arguments.
#include "core/vbscript_host.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

class ScriptAccess : public sim::StandInTest {};

TEST_F(ScriptAccess, AScriptReachesMembersByNameAndFillsItsVariables)
{
    auto object = velmar().NewObject("helper");
    std::wstring reported;
    object->ScriptName(L"Scale", 1)
        .ScriptName(L"Fill", 2)
        .ScriptName(L"Report", 3)
        .Method(1, 2, [](sim::Args& args) { return _variant_t(args.Int32(0) * args.Double(1)); })
        .Method(2, 1, [](sim::Args& args) {
            args.SetText(0, L"filled");
            return _variant_t();
        })
        .Method(3, 2, [&](sim::Args& args) {
            reported = args.Text(0) + L"|" + args.Text(1);
            return _variant_t();
        });
    {
        VBScriptHost script;
        script.AddNamedItem(L"Helper", object->Ptr());
        script.Run(L"Dim r, t\r\n"
                   L"r = Helper.scale(3, 2.5)\r\n"
                   L"Helper.Fill t\r\n"
                   L"Helper.Report r, t\r\n");
    }
    EXPECT_EQ(reported, L"7.5|filled");
    EXPECT_EQ(journal().Lines(), (Lines{"helper.1(3,2.5)", "helper.2(empty)", "helper.3(7.5,\"filled\")"}));
}

TEST_F(ScriptAccess, AFailingMemberEndsTheScriptWithAnError)
{
    auto object = velmar().NewObject("helper");
    object->ScriptName(L"Step", 1).Returns(1, _variant_t());
    velmar().Faults().FailMember("helper.1", E_FAIL);
    VBScriptHost script;
    script.AddNamedItem(L"Helper", object->Ptr());
    EXPECT_THROW(script.Run(L"Helper.Step\r\n"), VBScriptError);
}
