#pragma once
// The hot points Velmar shows on a library macro the user selected in a drawing: point 0 moves the part,
// point 1 turns it, and one point per special point of the part's response steps the part through the
// sizes its definition text allows, the reference book answering each step and the part redrawn in its
// macro; releasing the drag commits the new part or puts the old one back.
//
// Velmar holds the object through two faces, ILibHPObject and ILibHPObject1, and calls them on its
// user-interface thread only, so the count is a plain one. No exception leaves a face: a failure of a
// point's step is shown in Velmar's message box or traced.
#include "core/unique.h"
#include "hostapi/library_interfaces.h"
#include "hostapi/velmar5.h"
#include "insert2d/hot_point_defs.h"
#include "objects/spc_line_pairing.h"

#include <memory>
#include <optional>
#include <string>

class VelmarNormset;
class VelmarNormset2D;

class HotPoint2D final : public ILibHPObject, public ILibHPObject1 {
public:
    // On Velmar's held applications and the held reference book: the controller that redraws the part,
    // the active drawing, its selected macro and point 1's distance. E_POINTER without an application.
    // The count starts at 0: whoever hands the object out takes the first reference.
    HotPoint2D();
    HotPoint2D(const HotPoint2D&) = delete;
    HotPoint2D& operator=(const HotPoint2D&) = delete;

    // Reads the selected macro's part and, for a library part the reference book defines sizes for, the
    // definitions, the part's response and its special points. What the reference book does not give
    // leaves points 0 and 1 only; a failing host call is thrown.
    void Init();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    long STDMETHODCALLTYPE Ready() noexcept override { return 1; }
    long STDMETHODCALLTYPE Refresh(LONG_PTR unused, long commit) noexcept override;
    long STDMETHODCALLTYPE GetPoint(LibHPPoint* point, long index) noexcept override;
    long STDMETHODCALLTYPE MovePoint(const LibHPMove* point, long index) noexcept override;
    long STDMETHODCALLTYPE Reserved7() noexcept override { return 0; }
    long STDMETHODCALLTYPE Reserved8() noexcept override { return 0; }
    long STDMETHODCALLTYPE Reserved9() noexcept override { return 0; }

    long STDMETHODCALLTYPE GetName(const wchar_t** name, long index) noexcept override;
    BSTR STDMETHODCALLTYPE GetValueText(long index) noexcept override;
    long STDMETHODCALLTYPE Reserved5() noexcept override { return 0; }
    long STDMETHODCALLTYPE Reserved6() noexcept override { return 0; }
    long STDMETHODCALLTYPE BeginDrag(long index) noexcept override;
    long STDMETHODCALLTYPE EndDrag() noexcept override;

    const HotPointDefs& Definitions() const { return defs_; }
    bool Modified() const { return modified_; }

private:
    ~HotPoint2D();

    IVel5Document2D* Doc() const;
    // The active drawing again and its selected macro.
    void TakeSelectedMacro();
    // Reads the macro's rectangle and placement: the current angle and point 1's distance.
    void MeasurePointOne();
    // Sends the reference book the hot points' context and asks for the part's sizes; false leaves no
    // parameter points.
    bool ReadDefinitions(const std::wstring& partKey, std::vector<HotPointLine>& lines);
    void MoveParameterPoint(const SpecialHotPoint& point, double x, double y);
    // Reads the part the macro holds, from the accepted answer, before a drag's first redraw (asDrawn_).
    void ReadPartAsDrawn();
    // A controller of its own over the selected macro, holding the accepted answer's part.
    std::unique_ptr<VelmarNormset> ReadAccepted() const;
    void RefreshParameterPoint(bool commit);
    // The special point of an index; null for points 0 and 1 and indexes beyond the last.
    const SpecialHotPoint* ParameterPoint(long index) const;
    // Velmar's message box with the failure in flight (its description), for a drag step the user made.
    void ShowFailure(const wchar_t* where) noexcept;

    ULONG count_ = 0;
    IVel5Document2DPtr doc_;
    long macro_ = 0;
    double savedX_ = 0;
    double savedY_ = 0;
    double savedAngle_ = 0;
    double angle_ = 0;
    double distance_ = 0;
    std::wstring name_;
    std::unique_ptr<VelmarNormset2D> controller_;
    HotPointDefs defs_;
    UniqueBstr acceptedXml_;
    UniqueBstr newestXml_;
    // The part as it stood before the drag's first redraw, read for its lines: the release judges the old
    // lines by it, not by the part the steps drew.
    std::optional<SpcLineMakeUp> asDrawn_;
    long drag_ = -1;
    bool modified_ = false;
};
