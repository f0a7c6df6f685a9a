#pragma once
// A connection point of a stand-in object: the property manager's, through which it tells the library's
// panel what the user did (IVelPropertyManagerEvents), the version-5 application's
// (IVelApplicationEvents) and a 3D document's (IVelDocumentEvents). Velmar's container and point are
// plain IUnknown interfaces of their object, not dual ones, so they are objects of their own kind here:
// tear-offs of the owner whose IUnknown leads back to it. Their calls are journaled under the names the
// source is given and may be made to fail like any other: "propMngPoints#4(events)"
// (FindConnectionPoint of the source's own interface), "propMngPoint#5(sink,&)" (Advise),
// "propMngPoint#6(1)" (Unadvise).
#include "hostapi/velmar_events.h"
#include "sim/sim_object.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class EventSource {
public:
    explicit EventSource(Object& owner, const IID& events = __uuidof(IVelPropertyManagerEvents),
                         std::string containerName = "propMngPoints", std::string pointName = "propMngPoint");
    ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    size_t Sinks() const { return sinks_.size(); }
    // An advised sink, as Velmar holds it.
    IDispatchPtr Sink(size_t index) const { return sinks_.at(index).second; }

    // Calls every advised sink's Invoke with the arguments (first first). The answer of the first sink
    // as VARIANT_BOOL; none without sinks. An exception that leaves a sink is caught and described in
    // `escapes`: it would have unwound through Velmar.
    std::optional<VARIANT_BOOL> Fire(DISPID id, std::vector<_variant_t> args, std::vector<std::string>& escapes);

private:
    class Container;
    class Point;
    friend class Container;
    friend class Point;

    HRESULT Journal(const std::string& object, int position, std::vector<std::string> args, HRESULT result);

    Object& owner_;
    IID events_;
    std::string containerName_;
    std::string pointName_;
    std::unique_ptr<Container> container_;
    std::unique_ptr<Point> point_;
    std::vector<std::pair<DWORD, IDispatchPtr>> sinks_;
    DWORD nextCookie_ = 1;
};

} // namespace sim
