#pragma once
// The stand-in Normset reference book: the provider class {02538BE1-9E57-4BB8-B9FC-B6D4DF83120C},
// registered in this process for the life of the ReferenceBook, whose objects ("client") answer INMClient
// and INMObjectInfo; responses ("response") answer INMResponse.
//
//   sim::ReferenceBook book(velmar.GetSession());          // shares Velmar's journal
//   book.QueueSelect({.command = 1, .responseXml = sim::SampleResponse("component_3d")});
//   ... the library creates the provider, connects, sets its options, selects ...
//   EXPECT_EQ(book.InstrumentOptionsSent().at(0).documentId, L"3DSolid");
//
// Select takes the queued answers in order; with none queued nothing is chosen and the call is recorded
// as unanswered. The other positions answer from tables the test fills.
#include "sim/class_registration.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct SelectAnswer {
    long command = 0;                          // what the reference book sends back in each in/out argument
    std::wstring params;
    std::wstring location;
    std::optional<std::wstring> responseXml;   // none: the user chose nothing
    HRESULT result = S_OK;
    // The location comes back as it was sent, as when the user chooses a part at the place the book was
    // opened at (an element's identity is that location).
    bool keepsLocation = false;
};

struct SelectCall {
    long command = 0;                          // what the library sent
    std::wstring params;
    std::wstring location;
    long ownerWindow = 0;
    bool answered = false;
};

struct InstrumentOptions {
    std::wstring instrument;
    std::wstring hostVersion;
    std::wstring documentId;
    std::wstring containerId;
    std::optional<std::wstring> extra;         // none: a null string
    long mask = 0;
};

class ReferenceBook {
public:
    ReferenceBook();
    explicit ReferenceBook(Session& shared);
    ~ReferenceBook();
    ReferenceBook(const ReferenceBook&) = delete;
    ReferenceBook& operator=(const ReferenceBook&) = delete;

    Session& GetSession() { return *session_; }
    sim::Journal& Journal() { return session_->journal; }

    // What the reference book answers.
    void SetConnectOutcome(long error, const std::wstring& text = L"") { connectError_ = error, connectText_ = text; }
    void QueueSelect(SelectAnswer answer) { selectAnswers_.push_back(std::move(answer)); }
    void SetPlacedResponse(const std::wstring& id, const std::wstring& xml) { placed_[id] = xml; }          // 31
    // 31 answers the response by its own NM_IID (of its "Method" object); false when it has none.
    bool AddPlacedResponse(const std::wstring& xml);
    void SetAttributeText(const std::wstring& text) { attributeText_ = text; }                            // 34
    void SetDragResult(const std::wstring& id, const std::wstring& xml) { dragResults_[id] = xml; }       // 37
    void SetHotPoints(const std::wstring& partKey, const std::wstring& text) { hotPoints_[partKey] = text; }  // 38
    void SetClientString(const std::wstring& id, const std::wstring& text) { clientStrings_[id] = text; }  // 39
    void SetObjectInfo(const std::wstring& id, const std::wstring& classId, const std::wstring& objectId)
    {
        objectInfo_[id] = {classId, objectId};
    }
    // GetObjectInfo of this identifier fails with hr.
    void FailObjectInfo(const std::wstring& id, HRESULT hr) { objectInfoFaults_[id] = hr; }
    void SetObjectXml(const std::wstring& classId, const std::wstring& objectId, const std::wstring& xml)
    {
        objectXml_[classId + L":" + objectId] = xml;
    }

    // What the library did.
    int ProvidersCreated() const { return registration_ ? registration_->Created() : 0; }
    int Connects() const { return connects_; }
    int Disconnects() const { return disconnects_; }
    const std::vector<InstrumentOptions>& InstrumentOptionsSent() const { return options_; }
    const std::vector<SelectCall>& Selections() const { return selections_; }
    size_t PendingSelectAnswers() const { return selectAnswers_.size(); }

    // A provider or a response made directly, for tests that hand one to the library themselves.
    ObjectRef NewProvider();
    ObjectRef MakeResponse(const std::wstring& xml, bool objectDataFace = false);

private:
    ObjectRef NewObject(const std::string& name);

    std::unique_ptr<Session> ownSession_;
    Session* session_;
    std::vector<ObjectRef> objects_;
    long connectError_ = 0;
    std::wstring connectText_;
    std::vector<SelectAnswer> selectAnswers_;
    std::map<std::wstring, std::wstring> placed_, dragResults_, hotPoints_, clientStrings_, objectXml_;
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> objectInfo_;
    std::map<std::wstring, HRESULT> objectInfoFaults_;
    std::wstring attributeText_;
    int connects_ = 0;
    int disconnects_ = 0;
    std::vector<InstrumentOptions> options_;
    std::vector<SelectCall> selections_;
    std::unique_ptr<ClassRegistration> registration_;
};

} // namespace sim
