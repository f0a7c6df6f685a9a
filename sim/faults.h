#pragma once
// Fault injection: host calls that fail with a chosen HRESULT. A failing version-7 call returns the
// HRESULT and leaves error information naming the interface; a failing version-5 call answers
// DISP_E_EXCEPTION with the HRESULT as the exception's code, as Velmar's dispatch interfaces do.
//
//   velmar.Faults().FailMember("doc5.70", E_FAIL);       // every call of dispatch id 70 of doc5
//   velmar.Faults().FailMember("doc7#67", E_FAIL, 1);    // only the next call of position 67 of doc7
//   velmar.Faults().FailCall(3, E_OUTOFMEMORY);          // the third host call from now, whatever it is
//   velmar.Faults().FailQuery("bridge", __uuidof(IVel5Object), E_UNEXPECTED);
// It also plays what Velmar does while one of its calls runs, such as an event it fires:
//   velmar.Faults().During("asm5.60", [&] { /* fire */ });   // once, when the next 60 has done its work
#include "core/com.h"

#include <functional>
#include <string>
#include <vector>

namespace sim {

class Faults {
public:
    // The nth call from now (1 = the next one), counted over every journaled call.
    void FailCall(size_t n, HRESULT hr);
    // Calls of one member, keyed as the journal keys it ("doc5.70", "doc7#67"); times < 0: every call;
    // the first `after` calls of the member still succeed.
    void FailMember(std::string key, HRESULT hr, int times = -1, int after = 0);
    // Queries of one object for one interface.
    void FailQuery(std::string object, const IID& iid, HRESULT hr);
    // The action runs once, inside the next call of the member (keyed as above), after the call has done
    // its work and before it answers.
    void During(std::string key, std::function<void()> action);
    void Clear();

    // Asked by the stand-in objects for every call and query: S_OK or the HRESULT to fail with.
    HRESULT OnCall(const std::string& key);
    HRESULT OnQuery(const std::string& object, const IID& iid) const;
    // Asked by the stand-in objects when a call has done its work: runs the action waiting for it.
    void OnCallDone(const std::string& key);

private:
    struct MemberFault {
        std::string key;
        HRESULT hr;
        int times;
        int after;
    };
    struct QueryFault {
        std::string object;
        IID iid;
        HRESULT hr;
    };
    size_t countdown_ = 0;     // 0: no numbered call armed
    HRESULT countdownResult_ = S_OK;
    std::vector<MemberFault> members_;
    std::vector<QueryFault> queries_;
    std::vector<std::pair<std::string, std::function<void()>>> during_;
};

} // namespace sim
