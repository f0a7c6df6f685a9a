// The 3D controller's user part from a standard one: the picked component's model files copied into
// the folder the user chose, the copy given the standard part's values and freed of the library's ties,
// then opened for the user.
#include "library/velmar_normset_3d.h"

#include "core/com_convert.h"
#include "core/format_string.h"
#include "core/paths.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/scope_exit.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "library/clone_copies.h"
#include "positioning/clone_panel.h"

#include <cwchar>
#include <optional>
#include <vector>

namespace {

// A model file opened into a document object of its own, closed again however the work on it ends.
struct OpenedModel {
    OpenedModel(IVel5Application* application, const std::wstring& file)
    {
        document = RequireHost(ObjectAs<IVel5Document3D>(V5Method(application, IVel5Application::NewDocument3D)));
        closer.emplace(document, application);
        if (!static_cast<bool>(V5Method(document, IVel5Document3D::OpenFile, file, true)))
            throw FormatString(L"Can't open file \"%s\"", file.c_str());
        part = RequireHost(ObjectAs<IVel5Part>(V5Method(document, IVel5Document3D::PartByCode, static_cast<long>(VelPartTop))));
    }

    IVel5Document3DPtr document;
    std::optional<ScopeExitCloseModel> closer;
    IVel5PartPtr part;
};

// The entries of a model's component collection, in order.
std::vector<IVel5ObjectPtr> ComponentEntries(IVel5Part* part)
{
    const IVel5ObjectPtr host = RequireHost(ObjectAs<IVel5Object>(V5Method(part, IVel5Part::HostObject)));
    const IVel5FeatureCollectionPtr entries =
        RequireHost(ObjectAs<IVel5FeatureCollection>(V5Method(host, IVel5Object::Features, true, true)));
    std::vector<IVel5ObjectPtr> found;
    for (IVel5ObjectPtr entry = ObjectAs<IVel5Object>(V5Method(entries, IVel5FeatureCollection::First)); entry;
         entry = ObjectAs<IVel5Object>(V5Method(entries, IVel5FeatureCollection::Next)))
        found.push_back(entry);
    return found;
}

std::wstring WithoutDots(std::wstring text)
{
    std::erase(text, L'.');
    return text;
}

} // namespace

void VelmarNormset3D::Clone()
{
    TraceScope scope(L"VelmarNormset3D::Clone");
    ClonePanel panel(iApp5, iApp7);
    if (!panel.Run())
        return;
    const std::wstring source = VariantToWString(V5Get(RequireHost(panel.Part), IVel5Part::FileName));
    const std::wstring extension = WithoutDots(GetFileExt(source));
    // A designation may hold "\" or "/": it stays one file name.
    const std::wstring proposed = ValidFileNameText(panel.NM_Name);
    scope.String(L"source", source);
    scope.String(L"proposed", proposed);
    const std::wstring destination =
        VariantToWString(V5Method(iApp5, IVel5Application::ChooseModelFile, extension, proposed, std::wstring(), false));
    scope.String(L"destination", destination);
    if (destination.empty())
        return;
    CloneCopies copies;
    RecursiveCopyFiles(source, destination, copies);
    copies.CopyAll();
    Instantiate(destination, panel.NM_ID);
    ProcessMasterFile(destination);
    copies.Keep();
    const IVel5Document3DPtr shown = RequireHost(ObjectAs<IVel5Document3D>(V5Method(iApp5, IVel5Application::NewDocument3D)));
    V5Method(shown, IVel5Document3D::OpenFile, destination, false);
    V5Method(shown, IVel5Document3D::Show, short{2});
}

void VelmarNormset3D::RecursiveCopyFiles(const std::wstring& aSrcFile, const std::wstring& aDstFile, CloneCopies& copies)
{
    TraceScope scope(L"VelmarNormset3D::RecursiveCopyFiles");
    scope.String(L"aSrcFile", aSrcFile);
    scope.String(L"aDstFile", aDstFile);
    // A component met before (twice in the tree, or an assembly holding itself) is copied once.
    if (!copies.Plan(aSrcFile, aDstFile) || _wcsicmp(GetFileExt(aSrcFile).c_str(), L".a3d") != 0)
        return;
    std::vector<std::wstring> components;
    {
        const OpenedModel model(iApp5, aSrcFile);
        for (const IVel5ObjectPtr& entry : ComponentEntries(model.part))
            if (const IVel5PartPtr component = FeatureToPart(entry))
                components.push_back(VariantToWString(V5Get(component, IVel5Part::FileName)));
    }
    for (const std::wstring& component : components)
        RecursiveCopyFiles(component, GetFilePath(aDstFile) + GetFileName(component), copies);
}

void VelmarNormset3D::Instantiate(const std::wstring& aDstFile, const std::wstring& aLocation)
{
    TraceScope scope(L"VelmarNormset3D::Instantiate");
    scope.String(L"aDstFile", aDstFile);
    scope.String(L"aLocation", aLocation);
    const OpenedModel model(iApp5, aDstFile);
    LoadPlacedModel(aLocation).Instantiate(model.part);
    V5Method(model.document, IVel5Document3D::Rebuild);
    V5Method(model.document, IVel5Document3D::Save);
}

void VelmarNormset3D::ProcessMasterFile(const std::wstring& aDstFile)
{
    TraceScope scope(L"VelmarNormset3D::ProcessMasterFile");
    scope.String(L"aDstFile", aDstFile);
    const OpenedModel model(iApp5, aDstFile);
    const IVel5VariableCollectionPtr variables =
        RequireHost(ObjectAs<IVel5VariableCollection>(V5Method(model.part, IVel5Part::Variables)));
    for (IVel5VariablePtr variable = ObjectAs<IVel5Variable>(V5Method(variables, IVel5VariableCollection::First)); variable;
         variable = ObjectAs<IVel5Variable>(V5Method(variables, IVel5VariableCollection::Next)))
        if (static_cast<bool>(V5Get(variable, IVel5Variable::Setting6)))
            V5Put(variable, IVel5Variable::Setting6, false);
    V5Method(model.part, IVel5Part::FreeFromLibrary);
    // Each removal changes the collection: the walk starts again until no entry is marked, or Velmar
    // refuses to remove one.
    for (bool removed = true; removed;) {
        removed = false;
        for (const IVel5ObjectPtr& entry : ComponentEntries(model.part)) {
            if (!static_cast<bool>(V5Get(entry, IVel5Object::Setting9)))
                continue;
            removed = static_cast<bool>(V5Method(model.document, IVel5Document3D::DeleteObject, entry));
            break;
        }
    }
    V5Method(model.document, IVel5Document3D::Rebuild);
    V5Method(model.document, IVel5Document3D::Save);
}
