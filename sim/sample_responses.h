#pragma once
// Sample answers of the reference book, kept as XML files under sim/responses and loaded by name:
//   component_3d   a component model (a model file)        fragment_2d    a 2D fragment (".lfr")
//   element_3d     a constructive element (a ".vbs" script) script_2d     a 2D script part (the nut M12,
//   fastener_set   a fastener set of two members                           with its special hot point)
//   object_data    one object's description with its place   script_2d_m16  the same nut of the next size
//                  in the bill of materials (the bolt)
//   fastener_set_2d  a 2D fastener set: a bolt and a nut drawn by their part scripts, a washer from its
//                    fragment library, cut along the packet
// The 2D samples and the bolt name their files in "%MODELS%", the folder velmar-sim makes with them.
// Hot-point definition texts lie beside them as <name>.hotpoints (script_2d: the nut's sizes).
#include "sim/drawing.h"

#include <string>

namespace sim {

// The text of sim/responses/<name>.xml; throws std::runtime_error for an unknown name.
std::wstring SampleResponse(const std::string& name);

// The text of sim/responses/<name>.hotpoints with its lines ended by "\r\n", as the reference book sends
// them; throws std::runtime_error for an unknown name.
std::wstring SampleHotPoints(const std::string& name);

// A text with every line ended by "\r\n", as the reference book sends line-wise texts, whichever ending a
// file written by hand has.
std::wstring ReferenceBookLines(const std::wstring& text);

// The folder holding the samples, as a Windows path.
std::wstring SampleResponsesFolder();

// The folder of the sample's model descriptions (sim/models, sim/model_catalogue.h), as a Windows path.
std::wstring SampleModelsFolder();

// The folder of the samples' part files (sim/parts: the nut's part script, the through hole's
// "Scripts\Hole_Through.vbs"), as a Windows path.
std::wstring SamplePartsFolder();

// The fragment library of the fragment_2d sample as the stand-in's fragment service knows it, for the
// library file "Fragments\Washers.lfr" in the given folder: the washer "Шайба 8" with its two circles,
// an axis in the auxiliary style and a construction aid, and its variables d, d2 and s.
FragmentEntry SampleWasher(const std::wstring& folder);

} // namespace sim
