#pragma once
// The base of the per-command controllers. It owns the conversation with the reference book: the
// selection loop (in which the reference book may ask for a measurement or for the interactive
// positioning of an element before it answers), the parsing of the chosen response, the creation of the
// current library object from the response's construction method, and its application. The host steps
// are supplied by the derived controllers.
#include "core/com.h"
#include "hostapi/reference_book.h"
#include "objects/nm_object.h"
#include "objects/part_data.h"

#include <memory>
#include <string>

class Normset {
public:
    // state values of the selection.
    static constexpr int StateSelect = 0;      // select in the reference book
    static constexpr int StateChosen = 1;      // a part is chosen
    static constexpr int StatePosition = 2;    // position an element before the reference book answers
    static constexpr int StateReselect = 3;
    static constexpr int StateReposition = 4;

    Normset(HWND owner, INMClient* provider);
    virtual ~Normset();
    Normset(const Normset&) = delete;
    Normset& operator=(const Normset&) = delete;

    // Applies the current part (its Insert, Edit or Replace) and returns what it returned; the selection
    // then starts again without a location.
    virtual int Apply();
    // Creates the current part for a method body (" " for a plain part without one, empty for a fastener
    // set); leaving it null ends the load with "No part created".
    virtual void CreatePart(const std::wstring& methodBody) = 0;
    // Creates the current part for a specification-only object.
    virtual void CreateSpcPart() = 0;
    // Creates the current part from a parsed response and lets it read its part data.
    virtual void loadPartData(const XmlDocumentPtr& document);
    // Creates a specification-only part from a single object description (the node's first child).
    virtual void loadObjectData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr);
    // Runs the selection loop; false when the user closed the reference book without choosing.
    virtual bool SelectPart();
    // Interactive positioning of an element; false when the user cancelled.
    virtual bool Positioning() = 0;
    // Measures in the document and returns the parameter text for the reference book.
    virtual std::wstring Measure() = 0;
    // The parameter text of a plain selection.
    virtual std::wstring SelectParams() = 0;
    virtual void SetReselectMask();
    virtual void ClearReselectMask();
    // Positions elements for as long as the reference book asks for it.
    virtual void SelectElement();
    // Sends the reference book its set-up options; the base sends none.
    virtual void SetInstrumentOption();

    // Deletes the current part.
    void ClearPart();
    // One exchange with the reference book (repeated while it asks for measurements).
    void SelectEx();
    // Parses the text of the controller's own response, or of the given one, and runs loadPartData.
    // A null response raises E_POINTER.
    void LoadResponse();
    void LoadResponse(INMResponse* response);
    // The same for a response's XML text, kept elsewhere (a text that is no XML throws its description).
    void LoadResponseXml(BSTR xml);
    // The same for the XML text of one object's description, run through loadObjectData.
    void LoadObjectDataXml(BSTR xml);

    // The reference book's "positioning" command: its high byte gives the kind of positioning.
    static bool IsPositioningCommand(long command) noexcept { return command > 255; }
    // The reference book asks for a measurement before it answers.
    static bool IsMeasureCommand(long command) noexcept { return command >= 1 && (command & 0xFF) != 0; }

    HWND hwndOwner;
    std::unique_ptr<NMObject> CurrentPart;
    int PosMode = -1;
    INMClientPtr iNMClient;
    INMResponsePtr m_iResponse;
    XmlDocumentPtr ResponseDoc;     // the parsed text of the last response loaded
    int state = StateSelect;
    _bstr_t org_location;
    _bstr_t location;
    _bstr_t saved_location;
    _bstr_t params;
    long org_command = 0;
    long command = 0;
    bool IsNoInstances = false;

private:
    void SetPosModeFromCommand();
};
