#pragma once
// Keeps a constructive element in the arrays (patterns) of its part across its replacement. Built
// before the old element is deleted, it finds the arrays whose source list holds the element and puts a
// tiny placeholder (a sketch with a circle of 0.01 mm and its extrusion) into their lists, so that the
// arrays keep a source while the element is gone. When its scope ends it puts the new element that the
// owner listed in the placeholder's place and deletes the placeholder; without a new element the
// placeholder stays and keeps the arrays valid. Lives on the stack of one replace; its destructor never
// throws.
#include "core/obj_array.h"
#include "hostapi/velmar.h"

#include <string>
#include <vector>

class ArrayKeeper {
public:
    // An array that holds errors refuses the replace with a warning before anything in the document
    // changes.
    ArrayKeeper(IVel5Application* application, IVel5Document3D* document5, IVel7Document3D* document7,
                IVel5Entity* oldMacro, const std::vector<IDispatchPtr>& features, const std::wstring& elementName);
    ~ArrayKeeper();
    ArrayKeeper(const ArrayKeeper&) = delete;
    ArrayKeeper& operator=(const ArrayKeeper&) = delete;

    // What a DocumentStateGuard around the rebuild takes: the placeholder's extrusion when one was built,
    // else the old element.
    IDispatch* GuardObject() const;
    size_t ArrayCount() const { return arrays_.size(); }

    // The rebuilt element, as features: filled by the owner.
    std::vector<IDispatchPtr> NewElements;

private:
    struct Recorded {
        IVel7PatternPtr pattern;
        IDispatchPtr array5;
        ObjArray sources;
    };

    void BuildPlaceholder();
    // Takes the placeholder out of the first arrays it was put into and out of the document.
    void RemovePlaceholder(size_t arraysHoldingIt) noexcept;
    void DeleteFromDocument(IVel5EntityPtr& object) noexcept;
    ObjArray Placeholder() const;
    void Restore();
    bool PutNewElementInPlace(Recorded& array, const ObjArray& newElements7) noexcept;

    IVel5ApplicationPtr application_;
    IVel5Document3DPtr document5_;
    IVel7Document3DPtr document7_;
    IVel5PartPtr part5_;
    IDispatchPtr part7_;
    IVel5EntityPtr element_;
    IVel5EntityPtr extrusion5_;
    IVel5EntityPtr sketch5_;
    IDispatchPtr extrusion7_;
    IDispatchPtr sketch7_;
    std::wstring elementName_;
    std::vector<Recorded> arrays_;
};
