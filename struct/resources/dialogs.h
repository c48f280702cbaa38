// The dialog templates of the library's resources and their control ids.
#pragma once

#include <afxdlg.h>

// The preview frame every dialog with a structure picture has.
#define IDC_PREVIEW_FRAME 201

#define IDD_USERLIB 500
#define IDC_UL_IDNUMBER 501
#define IDC_UL_OVERWRITE 502
#define IDC_UL_HELP 503
#define IDC_UL_STRUCTURE 505
#define IDC_UL_LIBRARY 506
#define IDC_UL_RECNO 507
#define IDC_UL_PREV 508
#define IDC_UL_NEXT 509
#define IDC_UL_SEEK 511
#define IDC_UL_ADD 512
#define IDC_UL_FINDID 513
#define IDC_UL_NAME 217

// "Chemical Structure": the structure listing of CSView.
#define IDD_VIEW 100
#define IDC_VW_FILE 101
#define IDC_VW_CAS 102
#define IDC_VW_ENTRY 103
#define IDC_VW_LIST 105
#define IDC_VW_FRAME 106

// "Chemical Structure Options": the drawing options of CSDrawOpts.
#define IDD_DRAWOPTS 200
#define IDC_DO_COLORITEMS 202
#define IDC_DO_EDITCOLOR 203
#define IDC_DO_FONTNAME 204
#define IDC_DO_SIZE 205
#define IDC_DO_ABS 206
#define IDC_DO_REL 207
#define IDC_DO_CHOOSEFONT 208
#define IDC_DO_TRANSPARENT 209
#define IDC_DO_OPAQUE 210
#define IDC_DO_DASHED 213
#define IDC_DO_ROTATE 214
#define IDC_DO_HELP 215
#define IDC_DO_BORDER 216
#define IDC_DO_SAMPLE 217
#define IDC_DO_THICK 218
#define IDC_DO_EXPAND 219
#define IDC_DO_LIBGROUP 220
#define IDC_DO_NAME 221
#define IDC_DO_IDNUMBER 501
#define IDC_DO_OVERWRITE 502
#define IDC_DO_LIBRARY 506
#define IDC_DO_ADD 512
#define IDC_DO_LIBLABEL 1101
#define IDC_DO_NAMELABEL 1102
#define IDC_DO_IDLABEL 1103

// "Chemical Structure Databases": the database list of CSLibs.
#define IDD_DATABASES 400
#define IDC_DB_LIST 401
#define IDC_DB_MOVETOP 402
#define IDC_DB_REMOVE 403
#define IDC_DB_ADD 404
#define IDC_DB_HELP 405

extern const DLGTEMPLATEDEF g_StructDialogs[];
extern const size_t g_nStructDialogs;
