#pragma once
// Scoped host switches: the constructor checks and switches, the destructor switches back, also while an
// exception leaves the scope. Destructors never throw (a failing restore is traced, the rest still
// happens); a constructor that fails half way undoes what it had switched before the exception leaves it.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

// Undo recording off for the time of an interactive positioning: refused with the wide string
// "Undo container in progress" when the document already has an undo container open.
class UndoContainerGuard {
public:
    UndoContainerGuard(IVel5Document3D* document5, IVel7Document3D* document7);
    ~UndoContainerGuard();
    UndoContainerGuard(const UndoContainerGuard&) = delete;
    UndoContainerGuard& operator=(const UndoContainerGuard&) = delete;

private:
    IVel7Document3DPtr document7_;
    IVel5Document3DPtr document5_;
};

// One undo step for an insertion, edit or replacement: refused with "Undo disabled" when the document
// has undo switched off.
class UndoDisabledGuard {
public:
    UndoDisabledGuard(IVel5Document3D* document5, IVel7Document3D* document7);
    ~UndoDisabledGuard();
    UndoDisabledGuard(const UndoDisabledGuard&) = delete;
    UndoDisabledGuard& operator=(const UndoDisabledGuard&) = delete;

private:
    IVel7Document3DPtr document7_;
    IVel5Document3DPtr document5_;
};

// The look of a part while the user places it: its phantom look (38) at 0 and its shade at 0.35.
// Refused with "Can't create phantom" when Velmar has no phantom for the part.
class PhantomGuard {
public:
    PhantomGuard(IVel5Document3D* document, IVel5Part* part);
    ~PhantomGuard();
    PhantomGuard(const PhantomGuard&) = delete;
    PhantomGuard& operator=(const PhantomGuard&) = delete;

    IVel5PlacementInfo* Placement() const { return placement_; }
    IVel5Part* Part() const { return part_; }

private:
    IVel5PlacementInfoPtr placement_;
    IVel5PartPtr part_;
    IVel5ColorParamPtr color_;
    long savedLook_ = 0;
    double savedShade_ = 0;
};

// Makes the owner of an object the document's current object for the scope, when it is not already.
// The previous current object is put back; when the document had none, nothing is put back.
class DocumentStateGuard {
public:
    DocumentStateGuard(IVel5Document3D* document, IDispatch* object);
    ~DocumentStateGuard();
    DocumentStateGuard(const DocumentStateGuard&) = delete;
    DocumentStateGuard& operator=(const DocumentStateGuard&) = delete;

private:
    IVel5Document3DPtr document_;
    IVel5ObjectPtr previous_;
};

// The update mode of the active specification description off while specification objects are made;
// inactive for a null description or one whose update mode is already off.
class SpcCreateGuard {
public:
    explicit SpcCreateGuard(IVel7SpcDescription* description);
    ~SpcCreateGuard();
    SpcCreateGuard(const SpcCreateGuard&) = delete;
    SpcCreateGuard& operator=(const SpcCreateGuard&) = delete;

private:
    IVel7SpcDescriptionPtr description_;   // null: inactive
};

// A temporary 2D document for the time of a fragment insertion, made and opened through the application
// with document parameters of kind 35 (5 := 1, 4 := kind).
class FragmentInsertGuard {
public:
    explicit FragmentInsertGuard(IVel5Application* application, short kind = 3);
    ~FragmentInsertGuard();
    FragmentInsertGuard(const FragmentInsertGuard&) = delete;
    FragmentInsertGuard& operator=(const FragmentInsertGuard&) = delete;

    IVel5Document2D* Document() const { return document_; }

private:
    IVel5ApplicationPtr application_;
    IVel5Document2DPtr document_;
};
