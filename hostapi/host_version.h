#pragma once
// The host version and the kind of the active document.
//
// The host version number is major × 100 + minor × 10 + release (Velmar 15.0.1 is 1501; the build never
// counts), 0 without an application. Callers choose older or newer host behaviour by comparing it with
// the thresholds below.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

#include <string>

inline constexpr unsigned kHostVersion1400 = 1400;
inline constexpr unsigned kHostVersion1401 = 1401;
inline constexpr unsigned kHostVersion1402 = 1402;
inline constexpr unsigned kHostVersion1500 = 1500;
inline constexpr unsigned kHostVersion1501 = 1501;

// Kind of the active document (1, 2 drawings and fragments; 3 specification; 4 part; 5, 7 assemblies);
// 0 when no document is active.
long GetDocumentType(IVel7Application* application);

// 0 when the application slot is empty.
unsigned GetHostVersion(IVel5Application* application);

// "major.minor.release.build", "0.0.0.0" without an application.
std::wstring GetHostVersionString(IVel5Application* application);

// The version number as decimal text ("1501"; "0" without an application).
std::wstring GetHostVersionText(IVel5Application* application);
