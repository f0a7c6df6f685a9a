#pragma once
// A measurement the reference book asks for before the user chooses a part: the tool lets the user pick
// points or objects in the active document, computes one value and gives it back as the text the
// reference book reads ("<MEASURE>value</MEASURE>"). One tool of each dimension can be current: Velmar's
// pick process calls the library's filter export by name while the tool runs, and the export finds the
// tool in its process-wide slot.
#include "hostapi/velmar.h"

#include <cstdint>
#include <string>
#include <utility>

class NMMeasure {
public:
    NMMeasure(IVel5Application* application, const wchar_t* filterName);
    virtual ~NMMeasure();
    NMMeasure(const NMMeasure&) = delete;
    NMMeasure& operator=(const NMMeasure&) = delete;

    // Runs the picks and gives the value text; a pick the user cancelled leaves the text of 0.
    virtual std::wstring Measure() = 0;
    // The value with ten significant digits and the user's decimal separator.
    virtual std::wstring GetValueText();

    // The text the reference book receives for a tool's measure; empty without a tool.
    static std::wstring ToXml(NMMeasure* tool);

    IVel5ApplicationPtr iApp;
    _bstr_t FilterName;              // the export Velmar calls while the user picks
    double Value = 0;
};

// The process-wide slot of the current tool of one dimension, which Velmar's pick process reaches
// through the filter export.
template <class Tool>
class MeasureSlot {
public:
    static Tool* Current() noexcept { return current_; }
    // The current tool's measure as the reference book reads it; empty without a tool.
    static std::wstring MeasureToXml() { return NMMeasure::ToXml(current_); }
    static void DeleteCurrent() noexcept { delete std::exchange(current_, nullptr); }

protected:
    // A tool still current is deleted before the new one is made.
    template <class Make>
    static void Replace(Make make)
    {
        DeleteCurrent();
        current_ = make().release();
    }

private:
    static inline Tool* current_ = nullptr;
};

// One measurement of a tool class (NMMeasure2D or NMMeasure3D) for a kind byte: the tool is made
// current, measures and is deleted; no tool stays current, also when measuring fails.
template <class Tool>
std::wstring MeasureOnce(IVel5Application* application, uint8_t kind)
{
    struct DeleteCurrentOnExit {
        ~DeleteCurrentOnExit() { Tool::DeleteCurrent(); }
    } deleteCurrent;
    Tool::Create(application, kind);
    return Tool::MeasureToXml();
}
