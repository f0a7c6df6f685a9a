#pragma once
// The fault sweep of an operation family against the stand-in Velmar (header only, for tests): the
// scenario runs once for each host call it makes, with that call failing (E_FAIL), until a run makes no
// failing call, which must succeed. After each failed run `check` looks at what is left; it learns the
// call that failed and whether the failure reached the scenario (a restoring call fails quietly).
#include "sim/velmar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>

namespace test_support {

struct SweptFailure {
    size_t n = 0;
    std::string call;     // the failed call's member, as the journal keys it
    bool raised = false;  // the scenario ended with the failure
};

// current: the Velmar of the run, for a set-up that makes a new one each time.
inline void SweepHostCalls(const std::function<sim::Velmar&()>& current, const std::function<std::function<void()>()>& setUp,
                           const std::function<void(const SweptFailure&)>& check, size_t fewestCalls)
{
    for (size_t n = 1; n < 5000; ++n) {
        const std::function<void()> run = setUp();
        sim::Velmar& velmar = current();
        velmar.Journal().Clear();
        velmar.Faults().FailCall(n, E_FAIL);
        SweptFailure failure{n, "", false};
        try {
            run();
        } catch (const _com_error& error) {
            failure.raised = true;
            EXPECT_EQ(error.Error(), E_FAIL) << "call " << n;
        }
        velmar.Faults().Clear();
        const auto& calls = velmar.Journal().Calls();
        auto failed = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) { return call.result == E_FAIL; });
        if (failed == calls.end()) {
            EXPECT_FALSE(failure.raised);
            EXPECT_GE(n, fewestCalls) << "fewer host calls than the scenario makes";
            return;
        }
        failure.call = failed->Key();
        SCOPED_TRACE("call " + std::to_string(n) + " failed: " + failed->Text());
        check(failure);
    }
    FAIL() << "the scenario never ended without a failure";
}

// A sweep's row, as the name of the test case that runs it: its words run together, each capitalised, with
// everything but ASCII letters and digits left out ("the washer's line" gives "TheWashersLine").
inline std::string SweptRowName(const std::string& row)
{
    std::string name;
    bool wordStarts = true;
    for (const char c : row) {
        const unsigned char letter = static_cast<unsigned char>(c);
        if (letter < 0x80 && std::isalnum(letter)) {
            name += wordStarts ? static_cast<char>(std::toupper(letter)) : c;
            wordStarts = false;
        } else if (c != '\'') {
            wordStarts = true;
        }
    }
    return name;
}

inline void SweepHostCalls(sim::Velmar& velmar, const std::function<std::function<void()>()>& setUp,
                           const std::function<void(const SweptFailure&)>& check, size_t fewestCalls)
{
    SweepHostCalls([&]() -> sim::Velmar& { return velmar; }, setUp, check, fewestCalls);
}

} // namespace test_support
