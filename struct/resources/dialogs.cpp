// Dialog templates: controls, ids and texts, laid out in pixels. The library
// dialog's "Structure" group starts below the rows of the ID prompt, which is
// the same dialog cut off at that group's top.
#include "resources/dialogs.h"

namespace {

constexpr DWORD V = WS_VISIBLE | WS_CHILD;

const DLGITEMDEF s_userLib[] = {
    {IDC_STATIC, "STATIC", "Library:", V, {10, 14, 72, 32}},
    {IDC_UL_LIBRARY, "COMBOBOX", "", V | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
     {76, 10, 410, 34}},
    {IDC_STATIC, "STATIC", "Name", V, {10, 44, 72, 62}},
    {IDC_UL_NAME, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {76, 40, 410, 64}},
    {IDC_STATIC, "STATIC", "ID Number", V, {10, 74, 72, 92}},
    {IDC_UL_IDNUMBER, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {76, 70, 200, 94}},
    {IDC_STATIC, "STATIC",
     "Enter an ID number that uniquely identifies this structure (generally the CAS number is "
     "used)",
     V, {10, 100, 410, 132}},
    {IDC_UL_OVERWRITE, "STATIC", "ID exists in this database, OK to overwrite?", V,
     {10, 136, 410, 154}},
    {IDC_UL_ADD, "BUTTON", "Add Structure to Library", V | WS_TABSTOP | BS_DEFPUSHBUTTON,
     {10, 160, 200, 186}},
    {IDC_UL_HELP, "BUTTON", "Help", V | WS_TABSTOP | BS_PUSHBUTTON, {210, 160, 300, 186}},
    {IDCANCEL, "BUTTON", "Exit", V | WS_TABSTOP | BS_PUSHBUTTON, {310, 160, 410, 186}},
    {IDC_UL_STRUCTURE, "BUTTON", "Structure", V | BS_GROUPBOX, {10, 196, 410, 440}},
    {IDC_PREVIEW_FRAME, "STATIC", "", V | SS_BLACKFRAME, {20, 216, 300, 430}},
    {IDC_UL_FINDID, "BUTTON", "Find ID", V | WS_TABSTOP | BS_PUSHBUTTON, {310, 216, 400, 240}},
    {IDC_UL_SEEK, "BUTTON", "Seek", V | WS_TABSTOP | BS_PUSHBUTTON, {310, 246, 400, 270}},
    {IDC_STATIC, "STATIC", "Rec #", V, {310, 278, 400, 294}},
    {IDC_UL_RECNO, "EDIT", "", V | WS_TABSTOP | WS_BORDER, {310, 296, 400, 320}},
    {IDC_UL_NEXT, "BUTTON", "Next", V | WS_TABSTOP | BS_PUSHBUTTON, {310, 326, 400, 350}},
    {IDC_UL_PREV, "BUTTON", "Prev", V | WS_TABSTOP | BS_PUSHBUTTON, {310, 356, 400, 380}},
};

}  // namespace

extern const DLGTEMPLATEDEF g_StructDialogs[] = {
    {IDD_USERLIB, "User Library Edit", {420, 450}, s_userLib,
     static_cast<int>(sizeof s_userLib / sizeof s_userLib[0])},
};
extern const size_t g_nStructDialogs = sizeof g_StructDialogs / sizeof g_StructDialogs[0];
