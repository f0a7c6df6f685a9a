#include "library/normset.h"

#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/trace_log.h"
#include "hostapi/provider_connection.h"
#include "objects/bad_response.h"

#include <utility>

namespace {

// Positioning kind for the high byte of a positioning command (index 1 to 7).
constexpr int PosModeOfCommand[] = {-1, 1, 0, 1, 2, 2, 3, 4};

_variant_t Long(long value)
{
    return _variant_t(value);
}

std::wstring Text(const _bstr_t& text)
{
    return BstrToWString(text);
}

} // namespace

Normset::Normset(HWND owner, INMClient* provider) : hwndOwner(owner), iNMClient(provider)
{
    TraceScope scope(L":Normset");
}

Normset::~Normset()
{
    try {
        TraceScope scope(L"~Normset");
        ClearPart();
    } catch (...) {
        // A destructor never throws; the current part goes with its owning pointer in any case.
    }
}

void Normset::ClearPart()
{
    CurrentPart.reset();
}

void Normset::SetReselectMask() {}

void Normset::ClearReselectMask() {}

void Normset::SetInstrumentOption() {}

void Normset::SetPosModeFromCommand()
{
    const long kind = command >> 8;
    // A kind the reference book does not define would leave the controller guessing what to position.
    if (kind < 1 || kind > 7)
        throw BadResponse(L"Bad command");
    PosMode = PosModeOfCommand[kind];
}

void Normset::SelectEx()
{
    TraceScope scope(L"Normset::SelectEx");
    SetInstrumentOption();
    do {
        m_iResponse = nullptr;
        params = (IsMeasureCommand(command) ? Measure() : SelectParams()).c_str();
        scope.Hex(L"(LONG_PTR) hwndOwner", reinterpret_cast<LONG_PTR>(hwndOwner));
        scope.Value(L"PosMode", Long(PosMode));
        scope.Value(L"command", Long(command));
        scope.String(L"params", Text(params));
        scope.String(L"location", Text(location));
        if (!static_cast<BSTR>(location))
            location = L"";
        m_iResponse = ClientSelect(iNMClient, command, params, location, hwndOwner);
        scope.Value(L"command", Long(command));
        scope.String(L"params", Text(params));
        scope.String(L"location", Text(location));
        scope.Hex(L"m_iResponse", reinterpret_cast<LONG_PTR>(m_iResponse.GetInterfacePtr()));
        org_command = command;
        org_location = location;
        IsNoInstances = Text(params) == L"NoInstances";
        scope.Value(L"IsNoInstances", _variant_t(IsNoInstances));
        if (IsNoInstances) {
            command = 0;
        } else if (IsPositioningCommand(command)) {
            scope.WriteLine(L"Is_Positioning_Command");
            SetPosModeFromCommand();
        }
        scope.Value(L"PosMode", Long(PosMode));
    } while (IsMeasureCommand(command));
}

bool Normset::SelectPart()
{
    TraceScope scope(L"Normset::SelectPart");
    command = 0;
    do {
        if (state == StateSelect || state == StateReselect) {
            SelectEx();
            state = IsPositioningCommand(command) ? StatePosition : StateChosen;
        }
        if (state == StatePosition || state == StateReposition)
            SelectElement();
    } while (state == StateSelect);
    if (!m_iResponse) {
        // A selection that started from a placed part must come back with one.
        if (!Text(location).empty())
            throw BadResponse(L"No response");
        return false;
    }
    LoadResponse();
    return true;
}

void Normset::SelectElement()
{
    TraceScope scope(L"Normset::SelectElement");
    saved_location = location;
    for (;;) {
        scope.String(L"org_location", Text(org_location));
        scope.Value(L"org_command", Long(org_command));
        const bool positioned = Positioning();
        if (positioned) {
            SetReselectMask();
            SelectEx();
            ClearReselectMask();
            if (IsPositioningCommand(command))
                continue;  // another element to position
        } else {
            command = -2;
        }
        if (!positioned || command < 0) {
            // The positioning was abandoned: whatever was chosen for it no longer holds.
            location = L"";
            IsNoInstances = false;
            m_iResponse = nullptr;
            if (state == StatePosition && command == -2)
                state = StateSelect;
        }
        scope.Value(L"state", Long(state));
        if (!IsNoInstances)
            return;
    }
}

int Normset::Apply()
{
    TraceScope scope(L"Normset::Apply");
    state = StateSelect;
    if (!CurrentPart)
        throw BadResponse(L"No part created");
    const int result = static_cast<int>(CurrentPart->Apply());
    scope.Value(L"res", Long(result));
    location = L"";
    return result;
}

void Normset::LoadResponse()
{
    LoadResponse(m_iResponse);
}

void Normset::LoadResponse(INMResponse* response)
{
    const _bstr_t xml = ResponseXml(response);
    LoadResponseXml(xml);
}

void Normset::LoadResponseXml(BSTR xml)
{
    // A new tree for every response: part data of an earlier one may still point into its own.
    ResponseDoc = ParseAnswer(xml);
    loadPartData(ResponseDoc);
}

void Normset::LoadObjectDataXml(BSTR xml)
{
    auto document = ParseAnswer(xml);
    ResponseDoc = document;
    loadObjectData(*document, document);
}

void Normset::loadPartData(const XmlDocumentPtr& document)
{
    TraceScope scope(L"Normset::loadPartData");
    ClearPart();
    const pugi::xml_node response = document ? document->child(L"response") : pugi::xml_node();
    if (!response)
        throw BadResponse(L"No response");
    const pugi::xml_node collection = response.child(L"objectcollection");
    if (!collection)
        throw BadResponse(L"No objects in response");
    const pugi::xml_node method = NMPartData::getObjectByClassID(collection, L"Method");
    if (!method)
        throw BadResponse(L"No method object");
    std::wstring body = XmlAttributeValue(method, L"MethodBody");
    // An empty body is a fastener set only when the response lists the set's members.
    if (body.empty() && !NMPartData::getObjectByClassID(collection, L"AssyPartsMethods"))
        body = L" ";
    CreatePart(body);
    if (!CurrentPart)
        throw BadResponse(L"No part created");
    try {
        CurrentPart->loadPartData(collection, document);
    } catch (const DataConvertError& failure) {
        // A number of the answer that holds text or lies out of range: the answer is damaged.
        throw BadResponseOfValue(failure);
    }
}

void Normset::loadObjectData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    TraceScope scope(L"Normset::loadObjectData");
    ClearPart();
    CreateSpcPart();
    if (!CurrentPart)
        throw BadResponse(L"No part created");
    try {
        CurrentPart->loadObjectData(node.first_child(), std::move(document));
    } catch (const DataConvertError& failure) {
        throw BadResponseOfValue(failure);
    }
}
