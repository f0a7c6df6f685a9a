#pragma once
// Reference-book responses written the way the reference book writes them, for tests:
//   Response(Object(L"Method", {{L"NM_IID", L"12"}}) + Object(L"BaseRoles", {{L"URL", L"a/b"}}))
#include <string>
#include <utility>
#include <vector>

namespace response_xml {

struct Attr {
    std::wstring name;
    std::wstring value;
};

inline std::wstring Escape(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

inline std::wstring Element(const std::wstring& name, const std::wstring& content)
{
    return L"<" + name + L">" + content + L"</" + name + L">";
}

inline std::wstring Attributes(const std::vector<Attr>& attrs)
{
    std::wstring items;
    for (const Attr& a : attrs)
        items += Element(L"attribute", Element(L"name", Escape(a.name)) + Element(L"value", Escape(a.value)));
    return Element(L"attributecollection", items);
}

// One "object": its class id, its attributes (no attribute collection when attrs is empty) and, when
// children is not empty, an object collection holding them.
inline std::wstring Object(const std::wstring& classID, const std::vector<Attr>& attrs = {},
                           const std::wstring& children = L"", const std::wstring& objectID = L"")
{
    std::wstring content = Element(L"classid", Escape(classID));
    if (!objectID.empty())
        content += Element(L"objectid", Escape(objectID));
    if (!attrs.empty())
        content += Attributes(attrs);
    if (!children.empty())
        content += Element(L"objectcollection", children);
    return Element(L"object", content);
}

inline std::wstring Collection(const std::wstring& objects)
{
    return Element(L"objectcollection", objects);
}

inline std::wstring Response(const std::wstring& objects)
{
    return Element(L"response", Collection(objects));
}

// A complete response of a plain part: identity, location, script body and designation.
inline std::wstring PartResponse(const std::wstring& body = L"parts/bolt.vbs", const std::wstring& id = L"PART:BOLT[M8]")
{
    return Response(Object(L"MethodParameters", {{L"L", L"40"}, {L"D", L"8"}}) +
                    Object(L"Method", {{L"NM_IID", id}, {L"URL", L"lib/std/"}, {L"MethodBody", body}}) +
                    Object(L"BaseRoles", {{L"Designation", L"Болт М8х40"}}));
}

// A fastener set's answer (the sample's, as written) naming no members: its "AssyPartsMethods" lists none.
inline std::wstring WithoutMembers(std::wstring xml)
{
    const size_t members = xml.find(L"<classid>AssyPartsMethods</classid>");
    const size_t open = xml.find(L"<objectcollection>", members);
    const size_t close = xml.rfind(L"</objectcollection>", xml.rfind(L"</object>"));
    if (members == std::wstring::npos || open == std::wstring::npos || close == std::wstring::npos || close < open)
        return xml;
    const std::wstring start = L"<objectcollection>";
    return xml.erase(open + start.size(), close - open - start.size());
}

} // namespace response_xml
