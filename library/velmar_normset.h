#pragma once
// The abstract controller of one library command in a Velmar document. It adds to the conversation with
// the reference book what every Velmar controller shares: the two host applications, the command, the
// command's settings and presets, the document type, the option mask sent to the reference book and the
// bill-of-materials mode; and the work that does not depend on the kind of document: the set-up options, the
// selection parameters, the one-shot external location, the spc-only part and the bulk refresh of
// the spc objects of a bill of materials.
#include "hostapi/spc_doc_context.h"
#include "hostapi/velmar.h"
#include "library/normset.h"
#include "objects/all_settings.h"
#include "objects/nm_vel_obj_spc.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using SpcRecords = std::vector<std::unique_ptr<NMVelObjSpc>>;

class Finder;
struct BatchCounts;
struct BatchPass;

// Whether a controller takes over the location another program left in the registry for "the next
// command": the commands do; the work of other programs and of Velmar's events leaves it there.
enum class ExternalLocation { Take, Leave };

class VelmarNormset : public Normset {
public:
    // Throws, in this order: E_POINTER without the version-5 application, "No API 7 interface" without
    // the version-7 one, "No VAZEZAdAzuduv provider" without a client. Then the settings are loaded and
    // a location another program left in the registry is taken over (unless left).
    VelmarNormset(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command, int32_t docType,
                  ExternalLocation external = ExternalLocation::Take);
    ~VelmarNormset() override;

    // The controller of the active document for a command: drawings and fragments (types 1, 2) get the
    // 2D controller, 3D documents (types 3, 4, 5, 7) the 3D one; any other type is no document (the warning
    // "Нет активного документа."). out is written only when a controller was made.
    static void CreateForActiveDocument(std::unique_ptr<VelmarNormset>& out, IVel5Application* app5,
                                        IVel7Application* app7, INMClient* provider, uint32_t command,
                                        ExternalLocation external = ExternalLocation::Take);

    void CreateSpcPart() override;
    std::wstring SelectParams() override;
    // Sends the context unless this provider already has this document type and mask.
    void SetInstrumentOption() override;
    virtual void Prepare() = 0;
    virtual void PrepareExt(const std::wstring& location) = 0;
    // The checks refuse with a warning (_bstr_t). Relink and clone need an assembly.
    virtual void CheckDocumentValidForInsert() = 0;
    virtual void CheckDocumentValidForFind() = 0;
    virtual void CheckDocumentValidForRelink();
    virtual void CheckDocumentValidForCreateSpcObjs() = 0;
    virtual void CheckDocumentValidForClone();
    virtual void CreateSpcObjects() = 0;
    virtual void FindAndReplace() = 0;
    virtual void Relink();
    virtual void Clone();

    // The find-and-replace loop of both controllers over their finder: the panel (runPanel builds, runs
    // and destroys one) again and again, and what its buttons asked for, until it is closed; choose
    // answers "choose a part" (true: a part was chosen). The current part is in batch mode after each pass.
    void FindAndReplaceLoop(Finder& finder, const std::function<void()>& runPanel, const std::function<bool()>& choose);
    // SelectPart for a replacement the find panel asked for: closing the reference book without a choice
    // is no choice, though the selection started from a placed part's identifier; a malformed answer
    // still fails.
    bool SelectReplacement();
    // Takes over "ExtLocation" once: the value becomes the location and is deleted.
    void CheckExternalLocation();
    // Rebuilds every library spc object of the bill of materials from the reference book, asking
    // it once per run of equal identifiers, and tells the user how many were made.
    void CreateSpcObjectsForSpec(IDispatch* spc, bool is3DSpec);
    // The spc objects of the context that stand for library parts of this document, sorted by
    // identifier.
    void CollectSpcRecords(const SpcDocContext& context, bool is3DSpec, SpcRecords& records);
    // A bulk pass of this command whose groups run under that name: its progress window is the
    // command's, and the automatic pass on Velmar's events is quiet.
    BatchPass Pass(const wchar_t* groupName) const;
    // The closing message of the spc passes, with the objects made and the objects looked at.
    void ShowSpcPassSummary(const BatchCounts& counts) const;

    IVel5ApplicationPtr iApp5;
    IVel7ApplicationPtr iApp7;
    uint32_t LibCommand;                 // the library command (Normset::command is the reference book's)
    NMAllSettings Settings;
    bool IsSpecificationActive = false;
    bool Is3DSpec = false;
    IVel5SpecificationPtr iSpecification;
    int32_t DocType;
    uint32_t mask = 0;
    unsigned HostVersion = 0;
    // Set only by the automatic pass on Velmar's events: no window, question or message; all is traced.
    bool QuietPass = false;

private:
    // Loads the reference book's description of an identifier into a fresh spc-only part.
    void LoadObjectInfo(const std::wstring& quarvendId, TraceScope& scope);
    // A linked part that stands inside another object (an element holding a list of parts).
    bool HasForeignGeometry(IVel7SpcObject* object);
};
