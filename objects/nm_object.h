#pragma once
// The base of every library object a controller holds while it runs a command: a part, constructive
// element or fastener set about to be inserted, or one already in a document that is edited, replaced or
// given specification objects. It owns the part data read from the reference book and the identity
// texts derived from it; its virtual operations are the protocol between controllers and objects.
#include "core/com.h"
#include "hostapi/reference_book.h"
#include "objects/part_data.h"
#include "objects/spc_line_pairing.h"

#include <cstdint>
#include <memory>
#include <string>

class NMObject {
public:
    // state values.
    static constexpr uint32_t StateInsert = 0;
    static constexpr uint32_t StateEdit = 1;
    static constexpr uint32_t StateReplace = 2;

    // The client reference is counted when it is not null.
    NMObject(HWND owner, INMClient* client);
    virtual ~NMObject();
    NMObject(const NMObject&) = delete;
    NMObject& operator=(const NMObject&) = delete;

    // Ties the object to the library object found for a part placed earlier (it takes over what that one
    // found in the document); the base does nothing.
    virtual void BindTo(NMObject* found);
    // A new library object over the host object this one replaced; the base has none.
    virtual std::unique_ptr<NMObject> CreateOnBase();
    // Reads the part data from a response's "objectcollection" node, then the identity texts.
    // document owns the node's tree (see XmlDocumentPtr). Done once per object.
    virtual void loadPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr);
    // The same for the root element of a single stored or re-fetched object description.
    virtual void loadObjectData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr);
    virtual void Select();
    virtual void Unselect();
    // Runs Insert, Edit or Replace by state and returns state as it stands afterwards.
    virtual uint32_t Apply();
    virtual void Edit();
    virtual void Insert();
    virtual void Replace();
    // Batch mode: a failure message is shown only while the object has shown none yet.
    virtual void BeginBatch();

    // For an NM_ID "PART:<key>[...": the key; otherwise empty.
    std::wstring GetPartKey() const;
    // What the part is in the reference book whatever its size: its part key where it has one, else its
    // NM_ID. The members of two make-ups of a set are told apart by it.
    std::wstring MemberKey() const;
    // What the part is to the parts of another make-up of its set: the part it is in the reference book
    // whatever its size, then its designation.
    SpcLineIdentity SuccessionIdentity() const;

    HWND OwnerWindow() const noexcept { return owner_; }
    INMClient* Client() const noexcept { return client_; }

    uint32_t state = StateInsert;
    std::unique_ptr<NMPartData> pData;
    uint32_t MessageMode = 0;     // 0 every failure shown, 1 batch, any other value none
    std::wstring NM_ID;           // "NM_IID"
    std::wstring NM_QuarvendID;   // "Quarvend_IID"
    std::wstring NM_Path;         // "URL", with "\" separators
    std::wstring NM_Body;         // "MethodBody", with "\" separators; empty for a fastener set
    std::wstring NM_Name;         // "Designation"
    std::wstring NM_FileName;     // NM_Path and NM_Body joined, set by the objects that open the file

protected:
    // Fills the identity texts from the object data; throws BadResponse "No location" before anything
    // changes, and "No designation" last.
    void ReadObjData();

private:
    HWND owner_;
    INMClientPtr client_;
};
