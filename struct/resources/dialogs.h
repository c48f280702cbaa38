// The dialog templates of the library's resources.
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

extern const DLGTEMPLATEDEF g_StructDialogs[];
extern const size_t g_nStructDialogs;
