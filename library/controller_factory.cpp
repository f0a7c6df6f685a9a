// VelmarNormset::CreateForActiveDocument: the one place where a command gets its controller.
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_version.h"
#include "library/command_functions.h"
#include "library/velmar_normset_2d.h"
#include "library/velmar_normset_3d.h"

void VelmarNormset::CreateForActiveDocument(std::unique_ptr<VelmarNormset>& out, IVel5Application* app5,
                                            IVel7Application* app7, INMClient* provider, uint32_t command,
                                            ExternalLocation external)
{
    TraceScope scope(L"VelmarNormset::CreateForActiveDocument");
    if (auto installed = testhooks::ControllerOfScopedFactory(command)) {
        out = std::move(installed);
        return;
    }
    const long type = GetDocumentType(app7);
    scope.Value(L"doc_type", _variant_t(type));
    switch (type) {
    case 1:
    case 2:
        out = std::make_unique<VelmarNormset2D>(app5, app7, provider, command, static_cast<int32_t>(type), external);
        return;
    case 3:
    case 4:
    case 5:
    case 7:
        out = std::make_unique<VelmarNormset3D>(app5, app7, provider, command, static_cast<int32_t>(type), external);
        return;
    default:
        throw _bstr_t(Translate(L"Нет активного документа.").c_str());
    }
}
