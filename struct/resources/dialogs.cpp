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

const DLGITEMDEF s_view[] = {
    {IDC_STATIC, "STATIC", "File:", V, {10, 12, 100, 30}},
    {IDC_VW_FILE, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {105, 8, 410, 32}},
    {IDC_STATIC, "STATIC", "CAS Number:", V, {10, 42, 100, 60}},
    {IDC_VW_CAS, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {105, 38, 250, 62}},
    {IDC_STATIC, "STATIC", "Entry Number:", V, {10, 72, 100, 90}},
    {IDC_VW_ENTRY, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {105, 68, 250, 92}},
    {IDC_VW_FRAME, "STATIC", "", V | SS_BLACKFRAME, {260, 38, 410, 92}},
    {IDC_STATIC, "STATIC", "Connection List Points", V, {10, 102, 300, 120}},
    {IDC_VW_LIST, "LISTBOX", "", V | WS_TABSTOP | WS_BORDER | LBS_NOTIFY, {10, 122, 410, 320}},
};

// The options dialog collapses to the top of the "User Library" group and
// expands to its bottom; everything of the library rows lies inside it.
const DLGITEMDEF s_drawOpts[] = {
    {IDC_DO_SAMPLE, "BUTTON", "Sample", V | BS_GROUPBOX, {10, 6, 250, 250}},
    {IDC_PREVIEW_FRAME, "STATIC", "", V | SS_BLACKFRAME, {20, 26, 240, 240}},
    {IDC_DO_ROTATE, "BUTTON", "Rotate &90\xC2\xB0", V | WS_TABSTOP | BS_PUSHBUTTON,
     {260, 10, 450, 34}},
    {IDC_DO_COLORITEMS, "COMBOBOX", "",
     V | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, {260, 44, 450, 68}},
    {IDC_DO_EDITCOLOR, "BUTTON", "Edit &Color ...", V | WS_TABSTOP | BS_PUSHBUTTON,
     {260, 74, 450, 98}},
    {IDC_DO_BORDER, "BUTTON", "&Border", V | WS_TABSTOP | BS_AUTOCHECKBOX, {260, 110, 450, 128}},
    {IDC_DO_THICK, "BUTTON", "Thic&ker Bonds", V | WS_TABSTOP | BS_AUTOCHECKBOX,
     {260, 134, 450, 152}},
    {IDC_DO_DASHED, "BUTTON", "&Dashed Circles", V | WS_TABSTOP | BS_AUTOCHECKBOX,
     {260, 158, 450, 176}},
    {IDC_STATIC, "STATIC", "Font", V, {10, 262, 56, 280}},
    {IDC_DO_FONTNAME, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {60, 258, 250, 282}},
    {IDC_DO_CHOOSEFONT, "BUTTON", "Choose &Font ...", V | WS_TABSTOP | BS_PUSHBUTTON,
     {260, 258, 450, 282}},
    {IDC_STATIC, "STATIC", "Size", V, {10, 294, 56, 312}},
    {IDC_DO_SIZE, "EDIT", "", V | WS_TABSTOP | WS_BORDER, {60, 290, 110, 314}},
    {IDC_DO_ABS, "BUTTON", "&Abs", V | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON, {120, 292, 180, 312}},
    {IDC_DO_REL, "BUTTON", "&Rel", V | BS_RADIOBUTTON, {185, 292, 245, 312}},
    {IDC_DO_TRANSPARENT, "BUTTON", "&Transparent", V | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON,
     {260, 292, 360, 312}},
    {IDC_DO_OPAQUE, "BUTTON", "&Opaque", V | BS_RADIOBUTTON, {365, 292, 450, 312}},
    {IDOK, "BUTTON", "OK", V | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, {10, 326, 100, 352}},
    {IDCANCEL, "BUTTON", "Cancel", V | WS_TABSTOP | BS_PUSHBUTTON, {110, 326, 200, 352}},
    {IDC_DO_HELP, "BUTTON", "&Help", V | WS_TABSTOP | BS_PUSHBUTTON, {210, 326, 300, 352}},
    {IDC_DO_EXPAND, "BUTTON", "Add &>>", V | WS_TABSTOP | BS_PUSHBUTTON, {360, 326, 450, 352}},
    {IDC_DO_LIBGROUP, "BUTTON", "User Library", V | BS_GROUPBOX, {10, 362, 450, 500}},
    {IDC_DO_LIBLABEL, "STATIC", "&Library File Name", V, {20, 384, 140, 402}},
    {IDC_DO_LIBRARY, "COMBOBOX", "", V | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
     {145, 380, 440, 404}},
    {IDC_DO_NAMELABEL, "STATIC", "Na&me", V, {20, 414, 140, 432}},
    {IDC_DO_NAME, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {145, 410, 440, 434}},
    {IDC_DO_IDLABEL, "STATIC", "ID N&umber", V, {20, 444, 140, 462}},
    {IDC_DO_IDNUMBER, "EDIT", "", V | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {145, 440, 260, 464}},
    {IDC_DO_OVERWRITE, "STATIC", "ID number exists in this database, OK to overwrite?", V,
     {20, 470, 265, 494}},
    {IDC_DO_ADD, "BUTTON", "Add &Structure to Library", V | WS_TABSTOP | BS_PUSHBUTTON,
     {270, 468, 440, 494}},
};

const DLGITEMDEF s_databases[] = {
    {IDC_STATIC, "STATIC", "Order", V, {10, 8, 60, 26}},
    {IDC_STATIC, "STATIC", "File Name", V, {73, 8, 180, 26}},
    {IDC_STATIC, "STATIC", "Directory", V, {185, 8, 300, 26}},
    {IDC_DB_LIST, "LISTBOX", "",
     V | WS_TABSTOP | WS_BORDER | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
     {10, 28, 470, 200}},
    {IDC_DB_MOVETOP, "BUTTON", "&Move to Top", V | WS_TABSTOP | BS_PUSHBUTTON, {10, 210, 140, 236}},
    {IDC_DB_REMOVE, "BUTTON", "&Remove from List", V | WS_TABSTOP | BS_PUSHBUTTON,
     {150, 210, 300, 236}},
    {IDC_DB_ADD, "BUTTON", "&Add New File ...", V | WS_TABSTOP | BS_PUSHBUTTON, {310, 210, 470, 236}},
    {IDOK, "BUTTON", "OK", V | WS_TABSTOP | BS_DEFPUSHBUTTON, {10, 248, 100, 274}},
    {IDCANCEL, "BUTTON", "Cancel", V | WS_TABSTOP | BS_PUSHBUTTON, {110, 248, 200, 274}},
    {IDC_DB_HELP, "BUTTON", "Help", V | WS_TABSTOP | BS_PUSHBUTTON, {210, 248, 300, 274}},
};

}  // namespace

extern const DLGTEMPLATEDEF g_StructDialogs[] = {
    {IDD_VIEW, "Chemical Structure", {420, 330}, s_view,
     static_cast<int>(sizeof s_view / sizeof s_view[0])},
    {IDD_DRAWOPTS, "Chemical Structure Options", {460, 512}, s_drawOpts,
     static_cast<int>(sizeof s_drawOpts / sizeof s_drawOpts[0])},
    {IDD_DATABASES, "Chemical Structure Databases", {480, 284}, s_databases,
     static_cast<int>(sizeof s_databases / sizeof s_databases[0])},
    {IDD_USERLIB, "User Library Edit", {420, 450}, s_userLib,
     static_cast<int>(sizeof s_userLib / sizeof s_userLib[0])},
};
extern const size_t g_nStructDialogs = sizeof g_StructDialogs / sizeof g_StructDialogs[0];
