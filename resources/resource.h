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

// The library protocol: the menu (its item ids are the command numbers), the toolbar's command list,
// the toolbar bitmaps (size base + command number) and the library's name.
#define IDM_LIBRARY             2222
#define IDR_TOOLBAR             4444
#define IDS_LIBRARY_NAME        4444
#define IDB_TOOLBAR16           1000
#define IDB_TOOLBAR24           2000
#define IDB_TOOLBAR32           3000
#define IDB_TOOLBAR48           4000
