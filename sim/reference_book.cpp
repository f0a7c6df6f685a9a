#include "sim/reference_book.h"

#include "hostapi/reference_book.h"

#include <pugixml.hpp>

#include <sstream>

namespace sim {

namespace {

std::wstring TextOf(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

// An in/out string: the reference book frees what came in and hands back its own.
void Replace(BSTR* target, const std::wstring& text)
{
    SysFreeString(*target);
    *target = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SetText(VARIANT* result, const std::wstring& text)
{
    VariantInit(result);
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

template <class Map>
const std::wstring* Lookup(const Map& map, const std::wstring& key)
{
    auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

} // namespace

ReferenceBook::ReferenceBook() : ownSession_(std::make_unique<Session>()), session_(ownSession_.get())
{
    registration_ = std::make_unique<ClassRegistration>(CLSID_BOSimpleProvider, [this] { return NewProvider(); });
}

ReferenceBook::ReferenceBook(Session& shared) : session_(&shared)
{
    registration_ = std::make_unique<ClassRegistration>(CLSID_BOSimpleProvider, [this] { return NewProvider(); });
}

ReferenceBook::~ReferenceBook()
{
    registration_.reset();
    for (auto& object : objects_)
        object->Detach();
}

namespace {

// The NM_IID of the "Method" object among the objects of a collection; empty when there is none.
std::wstring MethodIdOf(pugi::xml_node collection)
{
    for (pugi::xml_node object : collection.children(L"object")) {
        if (std::wstring(object.child(L"classid").text().get()) != L"Method")
            continue;
        for (pugi::xml_node attribute : object.child(L"attributecollection").children(L"attribute"))
            if (std::wstring(attribute.child(L"name").text().get()) == L"NM_IID")
                return attribute.child(L"value").text().get();
    }
    return {};
}

} // namespace

bool ReferenceBook::AddPlacedResponse(const std::wstring& xml)
{
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size() * sizeof(wchar_t), pugi::parse_default, pugi::encoding_wchar))
        return false;
    const pugi::xml_node collection = document.child(L"response").child(L"objectcollection");
    const std::wstring id = MethodIdOf(collection);
    if (id.empty())
        return false;
    placed_[id] = xml;
    // A fastener set: the reference book knows its members, lists them by the set's identifier (39) and
    // answers each by its own (31), as it does for a set placed in a drawing before.
    std::wstring members;
    for (pugi::xml_node object : collection.children(L"object")) {
        if (std::wstring(object.child(L"classid").text().get()) != L"AssyPartsMethods")
            continue;
        for (pugi::xml_node member : object.child(L"objectcollection").children(L"object")) {
            const pugi::xml_node memberObjects = member.child(L"objectcollection");
            const std::wstring memberId = MethodIdOf(memberObjects);
            if (memberId.empty())
                continue;
            pugi::xml_document answer;
            answer.append_child(L"response").append_copy(memberObjects);
            std::wostringstream text;
            answer.save(text, L"  ", pugi::format_default | pugi::format_no_declaration);
            placed_.emplace(memberId, text.str());
            members += memberId + L"\r\n";
        }
    }
    if (!members.empty())
        clientStrings_[id] = members;
    return true;
}

ObjectRef ReferenceBook::NewObject(const std::string& name)
{
    objects_.push_back(Object::Create(*session_, name));
    return objects_.back();
}

ObjectRef ReferenceBook::MakeResponse(const std::wstring& xml, bool objectDataFace)
{
    ObjectRef response = NewObject("response");
    response->Face<INMResponse>().Get<&INMResponse::get_Xml>(8);
    response->Value(8) = _variant_t(xml.c_str());
    if (objectDataFace)
        response->Face<INMObjectData>().Get<&INMObjectData::get_Xml>(7, 8);
    return response;
}

ObjectRef ReferenceBook::NewProvider()
{
    ObjectRef client = NewObject("client");
    client->Face<INMClient>()
        .On<&INMClient::Connect>(27, [this](BSTR* text, long* error) {
            ++connects_;
            Replace(text, connectText_);
            *error = connectError_;
        })
        .On<&INMClient::Disconnect>(28, [this](VARIANT* unused) {
            ++disconnects_;
            VariantInit(unused);
        })
        .On<&INMClient::SetInstrumentOptions>(29, [this](BSTR instrument, BSTR version, BSTR document, BSTR container,
                                                         BSTR extra, long mask) {
            InstrumentOptions options{TextOf(instrument), TextOf(version), TextOf(document), TextOf(container),
                                      extra ? std::optional<std::wstring>(TextOf(extra)) : std::nullopt, mask};
            options_.push_back(options);
        })
        .On<&INMClient::Select>(30, [this](long* command, BSTR* params, BSTR* location, long owner,
                                           INMResponse** response) -> HRESULT {
            *response = nullptr;
            SelectCall call{*command, TextOf(*params), TextOf(*location), owner, !selectAnswers_.empty()};
            selections_.push_back(call);
            if (selectAnswers_.empty())
                return S_OK;
            const SelectAnswer answer = selectAnswers_.front();
            selectAnswers_.erase(selectAnswers_.begin());
            // A failing answer may still hand out a response, as a careless provider does.
            if (answer.responseXml)
                MakeResponse(*answer.responseXml)->QueryInterface(__uuidof(INMResponse), reinterpret_cast<void**>(response));
            if (FAILED(answer.result))
                return answer.result;
            *command = answer.command;
            Replace(params, answer.params);
            if (!answer.keepsLocation)
                Replace(location, answer.location);
            return S_OK;
        })
        .On<&INMClient::PlacedResponse>(31, [this](BSTR id, BSTR, INMResponse** response) {
            *response = nullptr;
            if (const std::wstring* xml = Lookup(placed_, TextOf(id)))
                MakeResponse(*xml)->QueryInterface(__uuidof(INMResponse), reinterpret_cast<void**>(response));
        })
        .On<&INMClient::AttributeText>(34, [this](BSTR* text) { *text = SysAllocString(attributeText_.c_str()); })
        .On<&INMClient::DragParameters>(37, [this](BSTR, BSTR, BSTR id, VARIANT* result) {
            VariantInit(result);
            if (const std::wstring* xml = Lookup(dragResults_, TextOf(id)))
                SetText(result, *xml);
        })
        .On<&INMClient::HotPoints>(38, [this](BSTR partKey, VARIANT* result) {
            VariantInit(result);
            if (const std::wstring* text = Lookup(hotPoints_, TextOf(partKey)))
                SetText(result, *text);
        })
        .On<&INMClient::ClientString>(39, [this](BSTR id, BSTR* text) {
            const std::wstring* found = Lookup(clientStrings_, TextOf(id));
            *text = SysAllocString(found ? found->c_str() : L"");
        });
    client->Face<INMObjectInfo>()
        .On<&INMObjectInfo::ObjectResponse>(12, [this](BSTR classId, BSTR objectId, IUnknown*, IUnknown** response) {
            *response = nullptr;
            if (const std::wstring* xml = Lookup(objectXml_, TextOf(classId) + L":" + TextOf(objectId))) {
                ObjectRef object = NewObject("objectResponse");
                object->Face<INMObjectResponse>().Get<&INMObjectResponse::get_Xml>(7);
                object->Value(7) = _variant_t(xml->c_str());
                object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(response));
            }
        })
        .On<&INMObjectInfo::GetObjectInfo>(15, [this](BSTR id, BSTR* classId, BSTR* objectId) -> HRESULT {
            if (auto fault = objectInfoFaults_.find(TextOf(id)); fault != objectInfoFaults_.end())
                return fault->second;
            auto found = objectInfo_.find(TextOf(id));
            if (found == objectInfo_.end())
                return E_INVALIDARG;
            *classId = SysAllocString(found->second.first.c_str());
            *objectId = SysAllocString(found->second.second.c_str());
            return S_OK;
        });
    return client;
}

} // namespace sim
