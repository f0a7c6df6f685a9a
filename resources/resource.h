#pragma once
// Resource identifiers of the library.

// Progress window of long loops.
#define IDD_PROGRESS            104
#define IDC_PROGRESS_BAR        1057
#define IDI_PROGRESS            5000
// The hot points' cursors: a size point dragged along x, along y, and the turning point.
#define IDCUR_HOT_POINT_ALONG_X 111
#define IDCUR_HOT_POINT_ALONG_Y 112
#define IDCUR_HOT_POINT_TURN    114

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

// Settings dialog.
#define IDD_SETTINGS            101
#define IDC_RESTORE_SELECT      1001
#define IDC_MAIN_WINDOW_GROUP   1002
#define IDC_POS_LEADER_GROUP    1003
#define IDC_POS_LEADER_ASSY     1004
#define IDC_POS_LEADER_3D       1005
#define IDC_SPC_OBJECT_GROUP    1006
#define IDC_CREATE_SPC_OBJECT   1007
#define IDC_ACTIVE_PRESET       1008
#define IDC_ACTIVE_PRESET_LABEL 1009
#define IDC_EDIT_SPC_OBJECT     1010
#define IDC_PRESET_LIST         1011
#define IDC_ADD_PRESET          1012
#define IDC_CHANGE_PRESET       1013
#define IDC_DELETE_PRESET       1014
#define IDC_PRESET_LIST_LABEL   1015
#define IDC_EXPORT_PRESETS      1016
#define IDC_IMPORT_PRESETS      1017
#define IDC_VERSION             1058

// Preset editor of the spc objects.
#define IDD_SPC_PRESET          102
#define IDC_PRESET_NAME_LABEL   1017
#define IDC_PRESET_NAME         1018
#define IDC_COLUMN_LIST         1019
#define IDC_SECTION_GROUP       1020
#define IDC_SECTION_DEFAULT     1021
#define IDC_SECTION_OWN         1022
#define IDC_SECTION_COMBO       1024
#define IDC_SECTION_NUM         1025
#define IDC_SUBSECTION          1026
#define IDC_SUBSECTION_NUM      1027
#define IDC_EXT_DEFAULT         1028
#define IDC_EXT_NESTED          1029
#define IDC_EXT_ADDITIONAL      1030
#define IDC_NESTED_SECTION_LABEL 1031
#define IDC_NESTED_BLOCK_COMBO  1032
#define IDC_NESTED_BLOCK_NUM    1033
#define IDC_EXT_GROUP           1034
#define IDC_COLUMNS_GROUP       1035
#define IDC_COLUMNS_DEFAULT     1036
#define IDC_COLUMNS_OWN         1037
#define IDC_NESTED_SECTION_COMBO 1038
#define IDC_NESTED_SECTION_NUM  1039
#define IDC_ADDITIONAL_COMBO    1040
#define IDC_ADDITIONAL_NUM      1041
#define IDC_ADD_COLUMN          1042
#define IDC_CHANGE_COLUMN       1043
#define IDC_DELETE_COLUMN       1044

// Column editor of the spc objects.
#define IDD_SPC_COLUMN          103
#define IDC_COLUMN_TYPE_LABEL   1045
#define IDC_COLUMN_TYPE         1046
#define IDC_COLUMN_NUMBER       1047
#define IDC_COLUMN_VALUE_LABEL  1048
#define IDC_COLUMN_VALUE_COMBO  1049
#define IDC_COLUMN_VALUE        1050
#define IDC_COLUMN_VALUE_CODE_LABEL 1051
#define IDC_COLUMN_ATTR_COMBO   1052
#define IDC_COLUMN_ATTR_CODE_LABEL 1053
#define IDC_COLUMN_ATTR         1054
#define IDC_COLUMN_USE_ATTR     1055
#define IDC_COLUMN_NUMBER_LABEL 1056
