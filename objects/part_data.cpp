#include "objects/part_data.h"

#include "core/number_text.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "objects/bad_response.h"

#include <utility>

namespace {

// The constants every part script may use, in the form the scripts have always received them: each
// line after the first begins with one space.
const wchar_t ScriptConstants[] =
    L"const GCV_FRONT = 1\r\n const GCV_REAR = 2\r\n const GCV_RIGHT = 3\r\n const GCV_LEFT = 4\r\n"
    L" const GCV_TOP = 5\r\n const GCV_BOTTOM = 6\r\n const GCV_SIMPLIFIED = 1\r\n const GCV_STANDARD = 2\r\n"
    L" const GCV_EXTENDED = 3\r\n const BOOL_YES = 1\r\n const BOOL_NO = 0\r\n const YES = 0\r\n"
    L" const NO = 1\r\n const NULL_VALUE = 0\r\n";

// The classes whose attributes make up the object data, in the order in which a later value of the
// same name replaces an earlier one.
const wchar_t* const ObjectDataClasses[] = {L"Method", L"ExternalParameters", L"AdditionalMethodParameters",
                                            L"BaseRoles", L"SpecialSpecificationParameters"};

bool HasName(const pugi::xml_node& node, const wchar_t* name)
{
    return node.type() == pugi::node_element && std::wstring(node.name()) == name;
}

// The "object" children of an object's "objectcollection", in document order.
std::vector<pugi::xml_node> CollectionObjects(const pugi::xml_node& object)
{
    std::vector<pugi::xml_node> objects;
    for (pugi::xml_node child : object.child(L"objectcollection").children(L"object"))
        objects.push_back(child);
    return objects;
}

} // namespace

std::wstring XmlText(const pugi::xml_node& element)
{
    return element.text().get();
}

std::wstring XmlAttributeValue(const pugi::xml_node& object, const std::wstring& name)
{
    const pugi::xml_node attribute =
        NMPartData::getAttributeByName(object.child(L"attributecollection"), name);
    return XmlText(attribute.child(L"value"));
}

void NMTCSData::readTCSAttrs(const pugi::xml_node& object)
{
    TraceScope scope(L"NMTCSData::readTCSAttrs");
    for (pugi::xml_node attribute : object.child(L"attributecollection").children(L"attribute")) {
        const std::wstring name = XmlText(attribute.child(L"name"));
        const std::wstring value = XmlText(attribute.child(L"value"));
        scope.String(L"attrName", name);
        scope.String(L"attrValue", value);
        if (name == L"Index")
            Index = StrToInt32(value);
        else if (name == L"Orientation")
            Orientation = StrToBool(value);
        else if (name == L"Distance")
            Distance = StrToDouble(value);
        else if (name == L"Hole")
            Hole = StrToBool(value);
        else if (name == L"OnPacket")
            OnPacket = StrToBool(value);
        else if (name == L"Width")
            Width = StrToDouble(value);
        else if (name == L"PartType")
            PartType = StrToInt32(value);
    }
}

NMPartData::NMPartData(const pugi::xml_node& node, XmlDocumentPtr document) : document_(std::move(document))
{
    loadPartData(node);
}

pugi::xml_node NMPartData::getObjectByClassID(const pugi::xml_node& node, const std::wstring& classID)
{
    TraceScope scope(L"NMPartData::getObjectByClassID");
    scope.String(L"classID", classID);
    for (pugi::xml_node object : node.children(L"object")) {
        if (XmlText(object.child(L"classid")) == classID) {
            scope.WriteLine(L"Found");
            return object;
        }
    }
    scope.WriteLine(L"Not found");
    return pugi::xml_node();
}

pugi::xml_node NMPartData::getAttributeByName(const pugi::xml_node& collection, const std::wstring& name)
{
    TraceScope scope(L"NMPartData::getAttributeByName");
    scope.String(L"name", name);
    if (HasName(collection, L"attributecollection")) {
        for (pugi::xml_node attribute : collection.children(L"attribute")) {
            if (XmlText(attribute.child(L"name")) == name) {
                scope.WriteLine(L"Found");
                return attribute;
            }
        }
    }
    scope.WriteLine(L"Not found");
    return pugi::xml_node();
}

void NMPartData::loadPartData(const pugi::xml_node& node)
{
    TraceScope scope(L"NMPartData::loadPartData");
    if (HasName(node, L"objectcollection")) {
        readObjectData(getObjectByClassID(node, L"MethodParameters"), Params);
        for (const wchar_t* classID : ObjectDataClasses)
            readObjectData(getObjectByClassID(node, classID), ObjData);
        readTechParams(getObjectByClassID(node, L"SpecialTechnoParameters"));
        if (getObjectByClassID(node, L"AssyPartsMethods"))
            readTcsData(node);
        return;
    }
    // A stored or re-fetched object: its identity is its class and object id, its data the "Value"
    // attributes of the objects it lists (the specification, MCC and material groups first).
    const std::wstring identity = XmlText(node.child(L"classid")) + L":" + XmlText(node.child(L"objectid"));
    ObjData[L"Quarvend_IID"] = identity;
    const pugi::xml_node collection = node.child(L"objectcollection");
    readObjectsData(getObjectByClassID(collection, L"Specification"));
    readObjectsData(getObjectByClassID(collection, L"MCC"));
    readObjectsData(getObjectByClassID(collection, L"MATERIAL"));
    readObjectsData(node);
    // Such an object has no reference-book identity of its own: its Quarvend identity stands for it.
    ObjData[L"NM_IID"] = identity;
    scope.String(L"NM_IID", identity);
}

void NMPartData::readObjectData(const pugi::xml_node& object, Variables& target)
{
    TraceScope scope(L"NMPartData::readObjectData");
    if (!object)
        return;
    for (pugi::xml_node attribute : object.child(L"attributecollection").children(L"attribute")) {
        const std::wstring name = XmlText(attribute.child(L"name"));
        const std::wstring value = XmlText(attribute.child(L"value"));
        scope.String(L"var", name + L"=" + value);
        target[name] = value;
    }
}

void NMPartData::readObjectsData(const pugi::xml_node& object)
{
    TraceScope scope(L"NMPartData::readObjectsData");
    if (!object)
        return;
    for (pugi::xml_node item : object.child(L"objectcollection").children(L"object"))
        ObjData[XmlText(item.child(L"classid"))] = XmlAttributeValue(item, L"Value");
}

void NMPartData::readTechParams(const pugi::xml_node& object)
{
    TraceScope scope(L"NMPartData::readTechParams");
    if (!object)
        return;
    for (pugi::xml_node attribute : object.child(L"attributecollection").children(L"attribute")) {
        const std::wstring name = XmlText(attribute.child(L"name"));
        const std::wstring value = XmlText(attribute.child(L"value"));
        if (Variables::IsNullValue(value))
            continue;
        if (name == L"NameKE") {
            NameKE = value;
        } else if (name == L"LocationUTS") {
            LocationUTS = value;
        } else if (name == L"ParamsKE") {
            for (const std::wstring& piece : Split(value, L"||")) {
                const std::vector<std::wstring> parts = Split(piece, L"|");
                if (parts.size() == 2)
                    Tech[parts[0]] = parts[1];
            }
        }
    }
}

void NMPartData::readTcsData(const pugi::xml_node& collection)
{
    TraceScope scope(L"NMPartData::readTcsData");
    const std::vector<pugi::xml_node> partners = CollectionObjects(getObjectByClassID(collection, L"Method"));
    const std::vector<pugi::xml_node> members =
        CollectionObjects(getObjectByClassID(collection, L"AssyPartsMethods"));
    // The two lists pair by position: an entry that is no member still takes its partner's place.
    for (size_t i = 0; i < members.size(); ++i) {
        const std::wstring classID = XmlText(members[i].child(L"classid"));
        scope.String(L"obj_classid", classID);
        if (classID != L"PartMethod")
            continue;
        NMAssmPart part;
        part.m_node = members[i].child(L"objectcollection");
        part.m_methodBody = XmlAttributeValue(getObjectByClassID(part.m_node, L"Method"), L"MethodBody");
        part.m_document = document_;
        scope.String(L"assmPart.m_methodBody", part.m_methodBody);
        if (i < partners.size() && XmlText(partners[i].child(L"classid")) == L"PartAttrs")
            part.m_attrs.readTCSAttrs(partners[i]);
        Members.push_back(std::move(part));
    }
}

std::wstring NMPartData::GetScriptHeader() const
{
    TraceScope scope(L"NMPartData::GetScriptHeader");
    std::wstring header = ScriptConstants;
    for (const auto& [name, value] : Params) {
        // A quoted value is a script string and keeps its commas; any other value is a number that may
        // come with a decimal comma, which VBScript would read as an argument separator.
        const bool quoted = value.find_first_of(L"\"'") != std::wstring::npos;
        header += name + L"=" + (quoted ? value : ReplaceAll(value, L",", L".")) + L"\r\n";
    }
    scope.String(L"header", header);
    return header;
}

void LoadXmlFromBstr(BSTR text, pugi::xml_document& document)
{
    document.reset();
    const size_t length = text ? SysStringLen(text) : 0;
    const pugi::xml_parse_result result =
        document.load_buffer(text ? text : L"", length * sizeof(wchar_t), pugi::parse_default, pugi::encoding_wchar);
    if (!result) {
        const std::string description = result.description();
        throw std::wstring(description.begin(), description.end());
    }
}

XmlDocumentPtr ParseAnswer(BSTR text)
{
    auto document = std::make_shared<pugi::xml_document>();
    try {
        LoadXmlFromBstr(text, *document);
    } catch (const std::wstring& parserText) {
        throw BadResponse(parserText);
    }
    return document;
}
