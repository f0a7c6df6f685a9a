#pragma once
// What velmar-sim does as Velmar firing its events and as another program in Velmar's process calling
// the library's exports and its test object, printing what each gives back.
#include "core/com.h"
#include "hostapi/library_interfaces.h"
#include "sim/app/runner_options.h"
#include "sim/reference_book.h"
#include "sim/velmar.h"

#include <functional>
#include <string>

namespace velmar_sim {

class OtherProgram {
public:
    // loadResponse: the text of a response file or sample, ready to hand out.
    OtherProgram(HMODULE library, sim::Velmar& velmar, sim::ReferenceBook& book,
                 std::function<std::wstring(const std::wstring&)> loadResponse);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    void Run(const RunnerAction& action);

private:
    void Fire(const RunnerAction& action);
    // The user selects a macro of the active drawing: the last library macro placed, or one by reference.
    void SelectMacro(const RunnerAction& action);
    void Call(const RunnerAction& action);
    void Test(const RunnerAction& action);
    template <class F>
    F Export(const char* name);
    sim::ObjectRef Response(const std::wstring& argument);

    HMODULE library_;
    sim::Velmar& velmar_;
    sim::ReferenceBook& book_;
    std::function<std::wstring(const std::wstring&)> loadResponse_;
    sim::ObjectRef provider_;
    ITester* tester_ = nullptr;
};

} // namespace velmar_sim
