#include "objects/nm_object.h"

#include "core/string_utils.h"
#include "core/trace_log.h"
#include "objects/bad_response.h"

#include <utility>

NMObject::NMObject(HWND owner, INMClient* client) : owner_(owner), client_(client) {}

NMObject::~NMObject() = default;

void NMObject::BindTo(NMObject*) {}

std::unique_ptr<NMObject> NMObject::CreateOnBase()
{
    return nullptr;
}

void NMObject::loadPartData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    TraceScope scope(L"NMObject::loadPartData");
    pData = std::make_unique<NMPartData>(node, std::move(document));
    ReadObjData();
}

void NMObject::loadObjectData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    TraceScope scope(L"NMObject::loadObjectData");
    pData = std::make_unique<NMPartData>(node, std::move(document));
    ReadObjData();
}

void NMObject::Select() {}

void NMObject::Unselect() {}

uint32_t NMObject::Apply()
{
    TraceScope scope(L"NMObject::Apply");
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
    switch (state) {
    case StateInsert:
        Insert();
        break;
    case StateEdit:
        Edit();
        break;
    case StateReplace:
        Replace();
        break;
    default:
        break;
    }
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
    return state;
}

void NMObject::Edit() {}

void NMObject::Insert() {}

void NMObject::Replace() {}

void NMObject::BeginBatch()
{
    MessageMode = 1;
}

std::wstring NMObject::GetPartKey() const
{
    const std::wstring prefix = L"PART:";
    if (NM_ID.compare(0, prefix.size(), prefix) != 0)
        return std::wstring();
    const size_t bracket = NM_ID.find(L'[', prefix.size());
    if (bracket == std::wstring::npos)
        return std::wstring();
    return NM_ID.substr(prefix.size(), bracket - prefix.size());
}

std::wstring NMObject::MemberKey() const
{
    const std::wstring key = GetPartKey();
    return key.empty() ? NM_ID : key;
}

SpcLineIdentity NMObject::SuccessionIdentity() const
{
    return {L"", NM_Name, MemberKey()};
}

void NMObject::ReadObjData()
{
    TraceScope scope(L"NMObject::ReadObjData");
    scope.Hex(L"pData", reinterpret_cast<std::int64_t>(pData.get()));
    if (!pData)
        throw BadResponse(L"No location");
    const Variables& data = pData->ObjData;
    if (!data.HasValue(L"NM_IID"))
        throw BadResponse(L"No location");
    NM_ID = data.at(L"NM_IID");
    scope.String(L"NM_ID", NM_ID);
    if (data.HasValue(L"URL")) {
        NM_Path = ReplaceAll(data.at(L"URL"), L"/", L"\\");
        scope.String(L"NM_Path", NM_Path);
    }
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
    if (data.HasValue(L"MethodBody")) {
        const std::wstring body = ReplaceAll(data.at(L"MethodBody"), L"/", L"\\");
        // A constructive element read back from a document keeps its identity in the body: a new identity
        // equal to that body is the same element edited, not a replacement.
        if (state == StateEdit && body != NM_Body && NM_ID != NM_Body)
            state = StateReplace;
        NM_Body = body;
    } else {
        NM_Body.clear();
    }
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
    scope.String(L"NM_Body", NM_Body);
    NM_QuarvendID = data.HasValue(L"Quarvend_IID") ? data.at(L"Quarvend_IID") : std::wstring();
    scope.String(L"NM_QuarvendID", NM_QuarvendID);
    if (!data.HasValue(L"Designation"))
        throw BadResponse(L"No designation");
    NM_Name = data.at(L"Designation");
    scope.String(L"NM_Name", NM_Name);
}
