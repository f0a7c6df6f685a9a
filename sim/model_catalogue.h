#pragma once
// The models the stand-in Velmar knows by file name: what a new part takes when the library points it at
// a model file (IVel5Part 6). A model is described in a small text form, one item a line; "#" starts a
// comment line and blank lines are skipped:
//
//   file Models\Bolt_7798_M10x50.vlm     the model file, as a path below the folder the models lie in
//   variable d 10                        a model variable and its value (in file order)
//   plane Plane                          named planes and axes: the geometry the proposed mates use
//   axis Axis
//   cylinder Shank 5 50                  a cylindrical face (name, radius, length) with a rim and its two
//                                        vertices, where leaders find their anchors
//   attach                               the attach point "Auto" with both its base objects
//   cone 2.5                             the cone "Conus " beside it, its conical face of that parameter
//   box 0 0 0 10 10 50                   the part's box: two opposite corners
//   lcs lcs1                             a local coordinate system
//   mass 0.02                            the model's own mass and material, before anything is written
//   material Сталь 10
//
// A model is known by the name of its file (the last part of the path, in any case).
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace sim {

struct CylinderDescription {
    std::wstring name;
    double radius = 0;
    double length = 0;
};

struct ModelDescription {
    std::wstring file;
    std::vector<std::pair<std::wstring, double>> variables;
    std::vector<std::wstring> planes;
    std::vector<std::wstring> axes;
    std::vector<CylinderDescription> cylinders;
    std::vector<std::wstring> coordinateSystems;
    bool attachPoint = false;
    std::optional<double> cone;        // the conical face's parameter
    std::optional<std::array<double, 6>> box;
    double mass = 0;
    std::wstring material;
    std::wstring text;                 // the description as it was read

    // The last part of the file's path.
    std::wstring FileName() const;
};

// Reads the text form; a text that does not read throws std::invalid_argument with one line saying
// where and why ("line 3: a variable needs a name and a number").
ModelDescription ParseModel(const std::wstring& text);

class ModelCatalogue {
public:
    // A model of the same file name replaces the one known.
    void Add(ModelDescription model);
    // The model of a path's file name; null when none is known.
    const ModelDescription* Find(const std::wstring& path) const;
    const std::vector<ModelDescription>& Models() const { return models_; }

private:
    std::vector<ModelDescription> models_;
};

} // namespace sim
