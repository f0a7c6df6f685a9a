#pragma once
// The find panel of a part or an assembly: the kind of library object (standard parts, constructive
// elements, fastener sets) is chosen with the type buttons, and a library object picked in the model
// becomes the current one, of its kind and name.
#include "tools/find_panel.h"

class FindPanel3D : public FindPanel<VelBasePanel3D> {
public:
    FindPanel3D(IVel5Application* application5, IVel7Application* application7, Finder* finder);
    ~FindPanel3D() override;

    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL ProcessActivate() override;
    // Only objects of a library component or element can be picked.
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;

    // The kind of the picked object's library part or element: a component's part, or the macro element
    // (with its kind), and its name; null when it is none of the library's.
    IVel5PartPtr IsLibraryModel(IDispatch* object, std::wstring& name);
    IVel5EntityPtr IsLibraryElement(IDispatch* object, std::wstring& name, bool& isTCS);
    void SwitchType(uint32_t type);
    // The position of the object holding the part or macro in the filtered list; 0 when none does.
    uint64_t IndexOfModel(IVel5Part* part) const;
    uint64_t IndexOfElement(IVel5Entity* macro) const;

protected:
    std::wstring Category() const override;
    void ShowCurrent() override;
    void WritePrompt(const std::wstring& text) override;

private:
    // The type buttons show the finder's type, the names its list.
    void ShowType();
    void ShowName(const std::wstring& name);

    IVel7ButtonsPtr types_;
};
