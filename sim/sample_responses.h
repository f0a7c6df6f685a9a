#pragma once
// Sample answers of the reference book, kept as XML files under sim/responses and loaded by name:
//   component_3d        the bolt M10x50, a component model (a model file)
//   component_3d_screw  the screw M10x40 that replaces the bolt
//   pin_3d_moved        a pin whose model file the stand-in's models do not have (a relink finds none)
//   element_3d          a through hole 10.5 in the 20 mm plate (a ".vbs" part script)
//   element_3d_11       a through hole 11 in the same plate, which replaces it
//   fastener_set_3d     a bolt, a washer, a nut and their hole, inserted after a hole positioning
//   fastener_set_3d_screw  a screw, a washer and a nut with their hole, which replaces that set
//   object_data         the bolt's object data, as the reference book gives it for an identifier (what
//                       the spc insertion takes instead of a response)
//   script_2d           a 2D script part (the nut M12, with its special hot point)
//   script_2d_m16       the same nut of the next size
//   script_2d_no_spc    the nut M12 without its spc section: Velmar's own placement places it
//   fragment_2d         a 2D fragment (".lfr": the washer 8)
//   fastener_set_2d     a 2D fastener set: a bolt and a nut drawn by their part scripts, a washer from
//                       its fragment library, cut along the packet
// The samples name their files in "%MODELS%", the folder velmar-sim makes with them.
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
