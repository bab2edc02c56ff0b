// Resource ids of the window pictures linked into the executable (pictures/pictures.rc and
// pictures/backgrounds.rc). Plain #defines: the resource compiler reads this file too.
#pragma once

// Every picture below exists in four renderings of the same subject: at 100% under its own
// id (the sizes given here), and at 125, 150 and 200% (every size scaled, rounded half up)
// under its id plus these offsets (ScaledPictureId in winkit/display_scale).
#define IDB_AT_125 10000
#define IDB_AT_150 20000
#define IDB_AT_200 30000

// Image-button pictures: 24-bit bitmaps. Each button has four consecutive ids, in the
// order normal, mouse over, pressed, disabled (base + 0 .. base + 3).
#define IDB_PROPERTIES_NORMAL 1100 // 86 x 77
#define IDB_PROPERTIES_MOUSEON 1101
#define IDB_PROPERTIES_MOUSEDOWN 1102
#define IDB_PROPERTIES_DISABLED 1103
#define IDB_SELECTINVALID_NORMAL 1110 // 86 x 77
#define IDB_SELECTINVALID_MOUSEON 1111
#define IDB_SELECTINVALID_MOUSEDOWN 1112
#define IDB_SELECTINVALID_DISABLED 1113
#define IDB_SELECTNONE_NORMAL 1120 // 86 x 77
#define IDB_SELECTNONE_MOUSEON 1121
#define IDB_SELECTNONE_MOUSEDOWN 1122
#define IDB_SELECTNONE_DISABLED 1123
#define IDB_DELETE_NORMAL 1130 // 86 x 77
#define IDB_DELETE_MOUSEON 1131
#define IDB_DELETE_MOUSEDOWN 1132
#define IDB_DELETE_DISABLED 1133
#define IDB_SCANSHORTCUTS_NORMAL 1140 // 86 x 77
#define IDB_SCANSHORTCUTS_MOUSEON 1141
#define IDB_SCANSHORTCUTS_MOUSEDOWN 1142
#define IDB_SCANSHORTCUTS_DISABLED 1143
#define IDB_REPAIR_NORMAL 1170 // 86 x 77
#define IDB_REPAIR_MOUSEON 1171
#define IDB_REPAIR_MOUSEDOWN 1172
#define IDB_REPAIR_DISABLED 1173
#define IDB_MORE_NORMAL 1150 // 154 x 30
#define IDB_MORE_MOUSEON 1151
#define IDB_MORE_MOUSEDOWN 1152
#define IDB_MORE_DISABLED 1153
#define IDB_HELP_NORMAL 1160 // 34 x 35
#define IDB_HELP_MOUSEON 1161
#define IDB_HELP_MOUSEDOWN 1162
#define IDB_HELP_DISABLED 1163

// Info-panel icons: 64 x 64, 32-bit bitmaps with premultiplied alpha (BITFIELDS) (draw with
// AlphaBlend, AC_SRC_ALPHA; load with LoadImage(..., LR_CREATEDIBSECTION) to keep the alpha).
#define IDB_ICON_INFO 1200  // blue speech bubble with "!"
#define IDB_ICON_GOOD 1201  // green check mark
#define IDB_ICON_ERROR 1202 // orange-red cross

// Row images of the report list: 16 x 16, 32-bit colour with a 1-bit mask each
// (ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0); ImageList_Add(list, image, mask)).
#define IDB_ROW_VALID 1210 // image 0: green check
#define IDB_ROW_VALID_MASK 1211
#define IDB_ROW_INVALID 1212 // image 1: red cross
#define IDB_ROW_INVALID_MASK 1213

// The window background at 125, 150 and 200% only (IDB_BACKGROUND + IDB_AT_...): at 100%
// it is the file UI.bmp beside the executable, 788 x 584, 24-bit (pictures/backgrounds.rc).
#define IDB_BACKGROUND 1300

// The application icon inside the executable (the same picture as icon.ico).
#define IDI_APPLICATION_ICON 1
