#pragma once
// A column of a specification object in the stand-in Velmar, with its two text interfaces:
//
//   column (IVel7SpcColumn): 19 gives the text object; the whole-string interface (IVel7SpcColumnString)
//         stores what its 7 is given (stored value 7), unless the column is made without it;
//   text object (IVel7SpcColumnText): 18 the text as it shows (Text()), 19 the number of lines, 20 sets
//         the text of a line (an index outside the lines fails with E_INVALIDARG).
//
//   sim::SpcColumn column(velmar(), "col", {L"old"});
//   SpcColumnSetString(column.Ptr(), L"Bolt M8", false);
//   EXPECT_EQ(column.Lines(), (std::vector<std::wstring>{L"Bolt M8"}));
#include "hostapi/velmar.h"
#include "sim/sim_object.h"

#include <memory>
#include <string>
#include <vector>

namespace sim {

class Velmar;

class SpcColumn {
public:
    SpcColumn(Velmar& velmar, const std::string& name, std::vector<std::wstring> lines = {L""},
              bool wholeString = true);

    Object& Column() { return *column_; }
    Object& TextObject() { return *text_; }
    HostPtr<IVel7SpcColumn> Ptr() { return column_->As<IVel7SpcColumn>(); }

    // The lines as the library left them, and the last whole string it gave (empty when none).
    const std::vector<std::wstring>& Lines() const { return *lines_; }
    std::wstring WholeString() const { return column_->Text(7); }
    // What the column shows: the last whole string given, else its lines joined with LF.
    std::wstring Text() const;
    // The column as the user left it: these lines and no whole string.
    void SetLines(std::vector<std::wstring> lines);

private:
    ObjectRef column_;
    ObjectRef text_;
    std::shared_ptr<std::vector<std::wstring>> lines_;
};

} // namespace sim
