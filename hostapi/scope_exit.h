#pragma once
// Restorers whose switching half stands in the caller: each holds its objects and makes one restoring
// call when the scope ends, also while an exception leaves it. A failing restore is traced, never thrown.
// Those with Restore() make the call at the caller's normal end instead, where a failure is the
// caller's; the scope's end then does nothing, and while an earlier failure unwinds it still restores.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

#define VEL_SCOPE_EXIT_NO_COPY_(Name) \
    Name(const Name&) = delete;       \
    Name& operator=(const Name&) = delete

// Edit switch of a version-7 3D document := false.
class ScopeExitApi7Slot52Off {
public:
    explicit ScopeExitApi7Slot52Off(IVel7Document3D* document) : document_(document) {}
    ~ScopeExitApi7Slot52Off();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitApi7Slot52Off);

private:
    IVel7Document3DPtr document_;
};

// Edit switch of the version-7 application := false.
class ScopeExitApi7Slot25Off {
public:
    explicit ScopeExitApi7Slot25Off(IVel7Application* application) : application_(application) {}
    ~ScopeExitApi7Slot25Off();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitApi7Slot25Off);

    // The restoring call now; a failure leaves as _com_error.
    void Restore();

private:
    IVel7ApplicationPtr application_;   // null once restored
};

// The item becomes the current item again (position 22 := true).
class ScopeExitApi7Slot22On {
public:
    explicit ScopeExitApi7Slot22On(IVel7Item* item) : item_(item) {}
    ~ScopeExitApi7Slot22On();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitApi7Slot22On);

    // The restoring call now; a failure leaves as _com_error.
    void Restore();

private:
    IVel7ItemPtr item_;   // null once restored
};

// The bulk switch of a specification description := true.
class ScopeExitApi7Slot37On {
public:
    explicit ScopeExitApi7Slot37On(IVel7SpcDescription* description) : description_(description) {}
    ~ScopeExitApi7Slot37On();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitApi7Slot37On);

    // The restoring call now; a failure leaves as _com_error.
    void Restore();

private:
    IVel7SpcDescriptionPtr description_;   // null once restored
};

// The editing mode of an auxiliary line := 2.
class ScopeExitApi7Slot7 {
public:
    explicit ScopeExitApi7Slot7(IVel7AuxLineMode* line) : line_(line) {}
    ~ScopeExitApi7Slot7();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitApi7Slot7);

private:
    IVel7AuxLineModePtr line_;
};

// Ends the editing of a sketch (dispatch id 2).
class ScopeExitDispid2 {
public:
    explicit ScopeExitDispid2(IVel5SketchDefinition* sketch) : sketch_(sketch) {}
    ~ScopeExitDispid2();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitDispid2);

private:
    IVel5SketchDefinitionPtr sketch_;
};

// Closes an iterator (dispatch id 9) when the flag is set.
class ScopeExitDispid9 {
public:
    explicit ScopeExitDispid9(IVel5Iterator* iterator, bool flag = true) : iterator_(iterator), flag_(flag) {}
    ~ScopeExitDispid9();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitDispid9);

    void SetFlag(bool flag) { flag_ = flag; }

private:
    IVel5IteratorPtr iterator_;
    bool flag_;
};

// Takes the highlight off a 2D object: dispatch id 38 with (saved reference, 0).
class ScopeExitDispid38 {
public:
    ScopeExitDispid38(IVel5Document2D* document, long saved) : document_(document), saved_(saved) {}
    ~ScopeExitDispid38();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitDispid38);

private:
    IVel5Document2DPtr document_;
    long saved_;
};

// Deletes a temporary object of a 3D document (dispatch id 43); a refusal is traced, as a failure is.
class ScopeExitDispid43 {
public:
    ScopeExitDispid43(IVel5Document3D* document, IDispatch* object) : document_(document), object_(object) {}
    ~ScopeExitDispid43();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitDispid43);

private:
    IVel5Document3DPtr document_;
    IDispatchPtr object_;
};

// The part's rebuild flag (43) := true, then its rebuild (42) with false.
class ScopeExitDispid42 {
public:
    explicit ScopeExitDispid42(IVel5Part* part) : part_(part) {}
    ~ScopeExitDispid42();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitDispid42);

private:
    IVel5PartPtr part_;
};

// Ends the bracket around a 2D fastener-set insertion (dispatch id 245 with false).
class ScopeExitDispid245 {
public:
    explicit ScopeExitDispid245(IVel5Document2D* document) : document_(document) {}
    ~ScopeExitDispid245();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitDispid245);

private:
    IVel5Document2DPtr document_;
};

// Closes a model document opened for processing, without saving (its version-7 form's Close with false),
// then lets the application refresh (16).
class ScopeExitCloseModel {
public:
    ScopeExitCloseModel(IVel5Document3D* model, IVel5Application* application) : model_(model), application_(application) {}
    ~ScopeExitCloseModel();
    VEL_SCOPE_EXIT_NO_COPY_(ScopeExitCloseModel);

private:
    IVel5Document3DPtr model_;
    IVel5ApplicationPtr application_;
};

// The 2D editing object of a sketch (dispatch id 9 of its definition); null when it has none.
IVel5Document2DPtr QueryDispid9Interface(IVel5SketchDefinition* sketch);

#undef VEL_SCOPE_EXIT_NO_COPY_
