#pragma once
// The arrays (patterns) of a 3D document of the stand-in Velmar. The document's pattern collection is
// its version-7 29 → 11, with 12 count and 14 item. Each array "<name>" is a version-7 object with its
// source list (20 written as an array, 21 read, 25 asked for an object) and model object (15 update,
// 18 type, 19 its parameters "<name>Param": 9 source, 11 and 12 the switch, 14 the source's type); its
// version-5 object "<name>v5" (IVel5Application::ToLayer with 1, 105) answers its name (2), state (6),
// base object (31, read and written) and rebuild (32). An object the document deletes leaves every
// source list, as its version-7 twin. A pattern given instances (AddInstances) answers their ranges (36)
// and each instance (35 with both indices from 1, "<name>Inst<i>.<j>"), whose version-5 object (108 with
// 1, 120) gives its copy of a source (7 with the source's position from 0); a rewritten source list
// makes copies of the sources new to it, and a source that stays keeps its copies wherever it moves.
//
//   sim::Patterns patterns(velmar, document);
//   sim::Pattern& array = patterns.Add("array1", {element.V7().Ptr()});
//   ... the library rewrites the list ...
//   EXPECT_EQ(patterns.SourceNames(array), (std::vector<std::string>{"hole27"}));
#include "sim/sim_object.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace sim {

class Velmar;
class Document;

class Part;

struct PatternInstance {
    long first = 0;
    long second = 0;
    ObjectRef v7;
    ObjectRef v5;
    std::vector<Part*> copies;        // by source position
};

struct Pattern {
    std::string name;
    ObjectRef v7;
    ObjectRef parameters;
    ObjectRef v5;
    ObjectRef source;                 // what the parameters' 9 gives; null: no source
    std::vector<IDispatchPtr> sources;
    long sourceType = 105;            // the parameters' 14
    long sourceModelType = 63;        // the source's 18
    bool following = true;            // the switch (11, 12)
    bool ok = true;                   // the state (6)
    IDispatchPtr base;                // 31
    int rebuilds = 0;
    int updates = 0;
    std::vector<bool> switchWhenWritten;   // the switch each time the list was written
    long firstRange = 0;
    long secondRange = 0;
    std::deque<PatternInstance> instances;
    // Makes the copy an instance holds of the source at a position.
    std::function<Part*(long first, long second, size_t position, IDispatch* source)> copyOf;
    std::vector<IDispatchPtr> copiedFrom;  // the sources the copies were made of
};

class Patterns {
public:
    Patterns(Velmar& velmar, Document& document);
    ~Patterns();
    Patterns(const Patterns&) = delete;
    Patterns& operator=(const Patterns&) = delete;

    Pattern& Add(const std::string& name, std::vector<IDispatchPtr> sources);
    // Instances at every (i, j) up to the ranges, with a copy of each source made by copyOf.
    void AddInstances(Pattern& pattern, long first, long second,
                      std::function<Part*(long first, long second, size_t position, IDispatch* source)> copyOf);
    // The pattern of that name; null when there is none.
    Pattern* Find(const std::string& name);
    // A pattern without a source at its parameters' 9.
    void DropSource(Pattern& pattern) { pattern.source = ObjectRef(); }
    // The names of the stand-in objects in the source list, in order.
    static std::vector<std::string> SourceNames(const Pattern& pattern);

private:
    void Deleted(IUnknown* object);
    // What Velmar's undo puts back: the source list as it is now.
    void RecordSources(Pattern& pattern);
    // The copies of the sources that are no longer the ones they were made of.
    void RemakeCopies(Pattern& pattern);

    Velmar& velmar_;
    Document& document_;
    std::vector<ObjectRef> objects_;
    std::deque<Pattern> patterns_;
    ObjectRef owner_;
    ObjectRef collection_;
    std::vector<ObjectRef> instances_;
    int deletion_ = 0;
};

} // namespace sim
