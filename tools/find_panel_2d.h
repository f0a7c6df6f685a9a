#pragma once
// The find panel of a drawing or fragment: standard parts only; the run is Velmar's placement process,
// ended through the version-7 application.
#include "tools/find_panel.h"

class FindPanel2D : public FindPanel<VelBasePanel2D> {
public:
    FindPanel2D(IVel5Application* application5, IVel7Application* application7, Finder* finder);
    ~FindPanel2D() override;

    // A pick shows the current object again; it does not change it.
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;

protected:
    void EndRun(uint32_t action) override;
    void WritePrompt(const std::wstring& text) override;
};
