#pragma once
// Model files on disk as the stand-in Velmar opens, changes and saves them when the library makes a
// user part: a small text form of the stand-in's own, one item a line (# comments):
//
//   variable d 10 1               a model variable: name, value, its setting 6 (0 or 1)
//   component C:\lib\Nut.a3d 1    a component: its model file (full path), its entry's setting 9
//
// The application's 2 makes a document object ("file<n>doc5", IVel5Document3D): 18 (file, boolean) reads
// the file (false when it is missing or does not read); 7 with -1 its part: 11 the variables (3, 5; 2
// name, 1 value, 6 the setting), 15 (counted), 34 the host object whose 4 (two booleans) gives the
// component entries (3, 5; 7 = 104, 8 the component's part with its file at 6, 9 the setting); 43
// removes an entry; 32 rebuilds; 19 writes the file back; 33 shows the document to the user. The
// application's 108 with (document, 2, 0) gives its version-7 form, whose 13 closes it. The
// application's 42 (extension, name, folder, flag) is the scripted user's "file" answer: the path the
// user typed, empty (cancelled) when none was queued.
//
//   sim::WriteModelFile(folder / L"Bolt.a3d", {{L"d", 8, true}}, {{nut, false}});
//   ... the library makes the user part ...
//   EXPECT_TRUE(velmar.ModelFiles().Documents().at(0).closed);
#include "sim/sim_object.h"

#include <deque>
#include <string>
#include <vector>

namespace sim {

class Velmar;

struct ModelVariable {
    std::wstring name;
    double value = 0;
    bool setting6 = false;
};

struct ModelComponent {
    std::wstring file;
    bool setting9 = false;
};

struct ModelFile {
    std::vector<ModelVariable> variables;
    std::vector<ModelComponent> components;
};

// Writes and reads the text form; false / none when the file cannot be written or read.
bool WriteModelFile(const std::wstring& path, const ModelFile& model);
bool ReadModelFile(const std::wstring& path, ModelFile& model);

struct ModelDocument {
    std::wstring file;            // what 18 opened
    bool forProcessing = false;   // 18's flag
    bool opened = false;
    bool closed = false;          // 13 of its version-7 form
    bool shown = false;           // 33
    int saves = 0;                // 19
    int freed = 0;                // the part's 15
    ModelFile model;
    ObjectRef v5;
    ObjectRef v7;
    ObjectRef part;
    ObjectRef host;
    std::vector<ObjectRef> variables;
    std::vector<ObjectRef> entries;
};

class ModelFiles {
public:
    explicit ModelFiles(Velmar& velmar);

    // Every document object the application made, in order.
    std::deque<ModelDocument>& Documents() { return documents_; }
    // 43 answers false: the entry stays.
    bool refuseRemoval = false;

private:
    ModelDocument& NewDocument();
    void Load(ModelDocument& document);
    void Save(ModelDocument& document);

    Velmar& velmar_;
    std::deque<ModelDocument> documents_;
};

} // namespace sim
