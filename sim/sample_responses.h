#pragma once
// Sample answers of the reference book, kept as XML files under sim/responses and loaded by name:
//   component_3d   a component model (a model file)        fragment_2d    a 2D fragment (".lfr")
//   element_3d     a constructive element (a ".vbs" script) script_2d     a 2D script part
//   fastener_set   a fastener set of two members            object_data   one object's description
// The 2D samples and the bolt name their files in "%MODELS%", the folder velmar-sim makes with them.
#include "sim/drawing.h"

#include <string>

namespace sim {

// The text of sim/responses/<name>.xml; throws std::runtime_error for an unknown name.
std::wstring SampleResponse(const std::string& name);

// The folder holding the samples, as a Windows path.
std::wstring SampleResponsesFolder();

// The folder of the sample's model descriptions (sim/models, sim/model_catalogue.h), as a Windows path.
std::wstring SampleModelsFolder();

// The folder of the 2D samples' part files (sim/parts: the nut's part script), as a Windows path.
std::wstring SamplePartsFolder();

// The fragment library of the fragment_2d sample as the stand-in's fragment service knows it, for the
// library file "Fragments\Washers.lfr" in the given folder: the washer "Шайба 8" with its two circles,
// an axis in the auxiliary style and a construction aid, and its variables d, d2 and s.
FragmentEntry SampleWasher(const std::wstring& folder);

} // namespace sim
