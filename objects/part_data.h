#pragma once
// The part description that the reference book's XML response gives: method parameters, object data
// (identity, method body, designation, specification data), technological parameters and the members of
// a fastener set. Built once per library object from the response's object collection, or from the
// root element of a single stored object, and not changed afterwards.
#include "core/com.h"
#include "core/variables.h"

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The parsed response that part data points into. Whoever parses a response keeps it in one of these,
// and every record that holds a node of it holds the document too, so that no node outlives its tree.
using XmlDocumentPtr = std::shared_ptr<const pugi::xml_document>;

// The layout of one member of a fastener set. Attributes the response does not give stay 0 or false.
struct NMTCSData {
    double Distance = 0.0;
    double Width = 0.0;
    int32_t Index = 0;
    int32_t PartType = 0;
    bool Orientation = false;
    bool Hole = false;
    bool OnPacket = false;

    // Fills the fields from the attributes of an "object" node; a value that does not convert throws
    // DataConvertError, a later attribute of the same name wins, other names are ignored.
    void readTCSAttrs(const pugi::xml_node& object);
};

// One member of a fastener set.
struct NMAssmPart {
    pugi::xml_node m_node;          // the member's own object collection
    std::wstring m_methodBody;
    NMTCSData m_attrs;
    XmlDocumentPtr m_document;      // keeps m_node's tree alive (null when the caller guarantees it)
};

class NMPartData {
public:
    // Reads either form: an "objectcollection" node (a selection's response) or an object's root element
    // (a stored or re-fetched object). document owns the node's tree; it may be null when the tree
    // outlives the part data by other means.
    explicit NMPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr);

    // The VBScript text that precedes every part script: the fixed constants, then one "name=value" line
    // per method parameter in name order.
    std::wstring GetScriptHeader() const;

    // The first "object" child of node whose "classid" text is classID exactly; a null node when none.
    static pugi::xml_node getObjectByClassID(const pugi::xml_node& node, const std::wstring& classID);
    // The first "attribute" child of an "attributecollection" node whose "name" text is name exactly.
    static pugi::xml_node getAttributeByName(const pugi::xml_node& collection, const std::wstring& name);

    Variables Params;
    Variables ObjData;
    std::wstring NameKE;
    std::wstring LocationUTS;
    Variables Tech;
    std::vector<NMAssmPart> Members;

private:
    void loadPartData(const pugi::xml_node& node);
    void readObjectData(const pugi::xml_node& object, Variables& target);
    void readObjectsData(const pugi::xml_node& object);
    void readTechParams(const pugi::xml_node& object);
    void readTcsData(const pugi::xml_node& collection);

    XmlDocumentPtr document_;
};

// The text of an element: its first text or CDATA child; empty for a missing element or one without text.
std::wstring XmlText(const pugi::xml_node& element);

// The value of the attribute named name in an object's "attributecollection"; empty when either is missing.
std::wstring XmlAttributeValue(const pugi::xml_node& object, const std::wstring& name);

// Parses the whole stored length of text (embedded zeros included) into document, which is reset first.
// A text that is not well-formed XML throws the parser's description of the failure as a wide string.
void LoadXmlFromBstr(BSTR text, pugi::xml_document& document);

// A reference-book answer (a response or object data) in a tree of its own. An answer whose text is not
// XML is damaged like one that lacks what it must hold: BadResponse with the parser's description, so
// that a pass skips it and a command names the parser's complaint.
XmlDocumentPtr ParseAnswer(BSTR text);
