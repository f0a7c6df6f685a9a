#pragma once
// Resource identifiers of the library.

// Progress window of long loops.
#define IDD_PROGRESS            104
#define IDC_PROGRESS_BAR        1057
#define IDI_PROGRESS            5000

// Error dialog with the debug report.
#define IDD_DEBUG_INFO          105
#define IDC_DEBUG_MESSAGE       1059
#define IDC_DEBUG_DETAILS       1060
#define IDC_DEBUG_HINT          1061
