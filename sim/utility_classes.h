#pragma once
// The stand-ins of the maker's utility classes RAZadi ("razadi") and ItemList ("itemList"), registered
// in this process for the life of the UtilityClasses. A part script writes into RAZadi's text (its
// "Append"; tests do so through AppendText) and fills item lists ("Add", "Count", "Item"); the library
// reads them back.
#include "sim/class_registration.h"

#include <deque>
#include <memory>
#include <vector>

namespace sim {

class UtilityClasses {
public:
    explicit UtilityClasses(Session& session);
    ~UtilityClasses();
    UtilityClasses(const UtilityClasses&) = delete;
    UtilityClasses& operator=(const UtilityClasses&) = delete;

    // The instances the library created, in order.
    const std::vector<ObjectRef>& RAZadiObjects() const { return razadi_; }
    const std::vector<ObjectRef>& ItemLists() const { return itemLists_; }
    // The items of the nth item list.
    const std::vector<IDispatchPtr>& ItemsOf(size_t list) const { return items_.at(list); }

    // What a part script writes into a RAZadi object.
    static void AppendText(Object& razadi, const std::wstring& text);

private:
    ObjectRef NewRAZadi();
    ObjectRef NewItemList();

    Session& session_;
    std::vector<ObjectRef> razadi_;
    std::vector<ObjectRef> itemLists_;
    std::deque<std::vector<IDispatchPtr>> items_;
    std::unique_ptr<ClassRegistration> razadiClass_;
    std::unique_ptr<ClassRegistration> itemListClass_;
};

} // namespace sim
