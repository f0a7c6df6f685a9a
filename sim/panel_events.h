#pragma once
// The connection point through which the stand-in's property manager tells the library's panel what the
// user did (IVelPropertyManagerEvents). Velmar's container and point are plain IUnknown interfaces of
// the property manager, not dual ones, so they are objects of their own kind here: tear-offs of the
// manager whose IUnknown leads back to it. Their calls are journaled and may be made to fail like any
// other: "propMngPoints#4(events)" (FindConnectionPoint), "propMngPoint#5(sink,&)" (Advise),
// "propMngPoint#6(1)" (Unadvise).
#include "sim/sim_object.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class EventSource {
public:
    explicit EventSource(Object& owner);
    ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    size_t Sinks() const { return sinks_.size(); }

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
    std::unique_ptr<Container> container_;
    std::unique_ptr<Point> point_;
    std::vector<std::pair<DWORD, IDispatchPtr>> sinks_;
    DWORD nextCookie_ = 1;
};

} // namespace sim
