#pragma once
// Sample answers of the reference book, kept as XML files under sim/responses and loaded by name:
//   component_3d   a component model (a model file)        fragment_2d    a 2D fragment (".lfr")
//   element_3d     a constructive element (a ".vbs" script) script_2d     a 2D script part
//   fastener_set   a fastener set of two members            object_data   one object's description
#include <string>

namespace sim {

// The text of sim/responses/<name>.xml; throws std::runtime_error for an unknown name.
std::wstring SampleResponse(const std::string& name);

// The folder holding the samples, as a Windows path.
std::wstring SampleResponsesFolder();

// The folder of the sample's model descriptions (sim/models, sim/model_catalogue.h), as a Windows path.
std::wstring SampleModelsFolder();

} // namespace sim
