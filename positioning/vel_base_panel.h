#pragma once
// The base of every property-manager panel: it keeps both applications, its page of controls, the
// header and help topic, and the prompt words; it turns Velmar's notifications into virtual operations
// and takes the exported selection callbacks while Velmar's process runs. The 2D and 3D run loops are
// VelBasePanel2D and VelBasePanel3D.
//
// One panel at a time is current (the exports reach it): a panel becomes current once its base is
// built and stops being current when it is destroyed, if it still is.
#include "hostapi/host_query.h"
#include "positioning/vel_prop_mng_events.h"

#include <cstdint>
#include <string>
#include <vector>

class VelBasePanel : public VelPropMngEvents {
public:
    VelBasePanel(IVel5Application* application5, IVel7Application* application7, const std::wstring& headerCaption,
                 const std::wstring& pageCaption, uint32_t helpId, bool headerStyle);
    ~VelBasePanel() override;

    // 8 (the help button) shows the help topic and answers FALSE; every other id TRUE.
    VARIANT_BOOL ButtonClick(long buttonId) override;
    // The OK button (1) is enabled exactly while the panel is complete; TRUE for every id.
    VARIANT_BOOL ButtonUpdate(long buttonId, VARIANT_BOOL* checked, VARIANT_BOOL* enabled) override;
    // Shows the panel's topic of the library's help file over Velmar's main window; FALSE.
    VARIANT_BOOL CommandHelp(long commandId) override;
    VARIANT_BOOL ProcessActivate() override { return VARIANT_FALSE; }
    VARIANT_BOOL ProcessDeactivate() override { return VARIANT_FALSE; }
    VARIANT_BOOL SelectItem(IDispatch*, long, VARIANT_BOOL) override { return VARIANT_FALSE; }
    VARIANT_BOOL CheckItem(IDispatch*, long, VARIANT_BOOL) override { return VARIANT_FALSE; }
    VARIANT_BOOL ChangeActiveTab(long) override { return VARIANT_FALSE; }
    VARIANT_BOOL EditFocus(IDispatch*, VARIANT_BOOL) override { return VARIANT_FALSE; }
    VARIANT_BOOL UserMenuCommand(IDispatch*, long) override { return VARIANT_FALSE; }

    virtual void OnAccepted() {}
    virtual void OnCancelled() {}
    virtual void BeforeRun() {}
    virtual VARIANT_BOOL IsComplete() = 0;
    virtual BOOL SelectFilter(IDispatch* object) = 0;
    virtual BOOL SelectCallback(IDispatch* object, LONG_PTR argument) = 0;
    // Runs Velmar's process with the panel; true when the user accepted. A failure in the panel while
    // the process ran is raised here, after the process has returned.
    virtual bool Run() = 0;
    virtual void UpdatePrompt() = 0;

    // What the exports hand over; nothing thrown leaves them (the panel keeps it for Run).
    BOOL FilterFromVelmar(IDispatch* object) noexcept;
    BOOL PickFromVelmar(IDispatch* object, LONG_PTR argument) noexcept;

    // The current panel; null when there is none.
    static VelBasePanel* Current() noexcept;

    // Layout style 3 with the header style flag, else 2; the header caption; the Boolean 16 off.
    void InitHeader();
    // Appends the word when the condition holds and it is not among the words yet.
    void AddPromptWord(const std::wstring& word, bool condition);
    // " " without words; else the translated "Выберите" and the words, the last joined by the
    // translated "или".
    std::wstring BuildPrompt() const;

    // The button of a collection at an index (id: the collection's control id - 100 + index): checked
    // when it is not yet; enabled or disabled when it differs.
    static void CheckGroupButton(IVel7Buttons* collection, long index);
    static void EnableGroupButton(IVel7Buttons* collection, bool enabled, long index);

protected:
    // The control builders: each adds a control of its kind to the page, sets its id and enables it.
    // Buttons get the library's bitmap of their id.
    IVel7ControlPtr AddCheckBox(long id, const std::wstring& caption, bool checked);
    // Selects the item only when the index lies within the items.
    IVel7ComboBoxPtr AddComboBox(long id, const std::vector<std::wstring>& items, long selected);
    IVel7SpinEditPtr AddSpinEdit(long id, const std::wstring& caption, const std::wstring& name, const std::wstring& hint,
                                 double value, double low, double high);
    IVel7ButtonsPtr AddSelectButton(long id, const std::wstring& caption, const std::wstring& hint);
    IVel7SelectFieldPtr AddSelectField(long id, const std::wstring& caption);
    IVel7HoleListPtr AddList(long id, const std::wstring& caption, const std::wstring& name);
    IVel7ControlPtr AddToggle(long id, const std::wstring& caption, const std::wstring& name, const std::wstring& hint);
    IVel7ButtonsPtr AddButtonBar(long id, const std::vector<std::wstring>& hints, const std::vector<std::wstring>& captions);
    IVel7ButtonsPtr AddDirectionButtons(long id, const std::vector<std::wstring>& hints, const std::vector<std::wstring>& captions);
    IVel7GroupTitlePtr AddGroupTitle(const std::wstring& caption, bool flag);

    // Ends Velmar's running process after a failure in the panel. Must not be called outside a run.
    virtual void EndProcess() = 0;
    // Runs Velmar's process call with the panel listening; a failure the panel kept meanwhile is raised
    // after the call has returned.
    template <class F>
    auto WhileListening(F&& process)
    {
        RethrowFailure();
        struct Listening {
            VelBasePanel& panel;
            explicit Listening(VelBasePanel& p) : panel(p) { panel.StartListening(); }
            ~Listening() { panel.StopListening(); }
        } listening(*this);
        auto result = process();
        RethrowFailure();
        return result;
    }

    IVel5ApplicationPtr iApp5;
    IVel7ApplicationPtr iApp7;
    uint32_t HelpId;
    IVel7PagePtr iPage;
    std::vector<std::wstring> PromptWords;
    std::wstring HeaderCaption;
    bool HeaderStyle;

private:
    void OnVelmarCallFailed() noexcept override;
    void StartListening() noexcept;
    void StopListening() noexcept;
    template <class I>
    HostPtr<I> NewControl(long kind, long id);
    IVel7ButtonsPtr AddButtons(long id, long style, const std::vector<std::wstring>& hints,
                               const std::vector<std::wstring>& captions);

    bool running_ = false;
};

namespace testhooks {
// Forgets the current panel (a test that leaked one must not disturb the next).
void ResetCurrentPanel() noexcept;
} // namespace testhooks
