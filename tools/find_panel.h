#pragma once
// "Найти и заменить": what the 2D and 3D find panels share over a finder. The panel never replaces
// anything itself: its ending buttons leave an action code in the finder and end the run; the
// controller acts on the code and opens a new panel. The name list, the steps through the objects of a
// name, the replacement part's field and the buttons that need one follow the finder's lists.
#include "positioning/vel_base_panel_2d.h"
#include "positioning/vel_base_panel_3d.h"
#include "tools/finder.h"

#include <string>
#include <utility>

template <class Base>
class FindPanel : public Base {
public:
    VARIANT_BOOL ChangeControlValue(IDispatch* control) override;
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL IsComplete() override { return VARIANT_TRUE; }
    // "<category>: <objects found>".
    void UpdatePrompt() override;

    // The buttons and the name list's hint by the filtered count and the replacement part; the current
    // object shown.
    void UpdateControls();
    // The finder's names again, showing the filter name (or the first).
    void RefillNames();

protected:
    template <class... BaseArgs>
    explicit FindPanel(Finder* finder, BaseArgs&&... baseArgs) : Base(std::forward<BaseArgs>(baseArgs)...), finder_(finder)
    {
    }
    // The controls from the name list on, in their order.
    void AddFindControls();
    // After the controls: a refill when the last pass replaced something, the controls' states, code 0.
    void Open();
    // The category of the objects listed.
    virtual std::wstring Category() const;
    // The current object highlighted in the document, and the prompt.
    virtual void ShowCurrent();
    // Sets the code and ends Velmar's process.
    virtual void EndRun(uint32_t action);
    // Where the kind of panel shows its prompt.
    virtual void WritePrompt(const std::wstring& text) = 0;
    long FilterItem() const;

    Finder* finder_;
    IVel7ComboBoxPtr names_;
    IVel7ButtonsPtr steps_;
    IVel7SelectFieldPtr part_;
    IVel7ButtonsPtr choose_;
    IVel7ControlPtr replace_;
    IVel7ControlPtr replaceAll_;
};

extern template class FindPanel<VelBasePanel2D>;
extern template class FindPanel<VelBasePanel3D>;
