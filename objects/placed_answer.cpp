#include "objects/placed_answer.h"

#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/string_utils.h"
#include "hostapi/client_string.h"
#include "hostapi/provider_connection.h"
#include "objects/bad_response.h"
#include "objects/nm_object.h"
#include "objects/part_data.h"

std::vector<std::wstring> ListedMemberIds(INMClient* client, const std::wstring& setId)
{
    std::vector<std::wstring> ids;
    for (const std::wstring& id : Split(BstrToWString(QueryClientString(client, setId)), L"\r\n"))
        if (!id.empty())
            ids.push_back(id);
    return ids;
}

void LoadPlacedAnswer(NMObject& object, INMClient* client, const std::wstring& id, const std::wstring& context)
{
    const INMResponsePtr response = ClientPlacedResponse(client, id, context);
    if (!response)
        throw BadResponse(L"No response");
    const XmlDocumentPtr document = ParseAnswer(ResponseXml(response));
    const pugi::xml_node collection = document->child(L"response").child(L"objectcollection");
    if (!collection)
        throw BadResponse(L"No objects in response");
    try {
        object.loadPartData(collection, document);
    } catch (const DataConvertError& failure) {
        throw BadResponseOfValue(failure);
    }
}
