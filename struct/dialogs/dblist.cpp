// "CSLibs": the list of structure databases every lookup searches, in the
// dialog "Chemical Structure Databases": reorder, remove, add, and save on OK.
#include <afxdlg.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/settings.h"
#include "dialogs/dlgtext.h"
#include "dialogs/entries.h"
#include "dialogs/filedlg.h"
#include "resources/dialogs.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kHelpContext = 273;

// The height of a line of text in font (none: the dialog's base unit).
int LineHeight(HWND hwnd, HFONT font, bool withLeading) {
  if (!font) return HIWORD(GetDialogBaseUnits());
  HDC hdc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(hdc, font);
  TEXTMETRIC tm{};
  const BOOL ok = GetTextMetrics(hdc, &tm);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  if (!ok || tm.tmHeight <= 0) return HIWORD(GetDialogBaseUnits());
  return tm.tmHeight + (withLeading ? tm.tmExternalLeading : 0);
}

class CChemStrucDatabaseDialog : public CDialog {
 public:
  CChemStrucDatabaseDialog(CCpClient* client, CWnd* parent)
      : CDialog(IDD_DATABASES, parent), m_client(client) {}

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DB_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_DB_MOVETOP, m_btnMoveTop);
    DDX_Control(pDX, IDC_DB_LIST, m_lbFiles);
  }
  BOOL OnInitDialog() override;
  BOOL OnCommand(UINT nID, UINT nCode) override;
  void OnOK() override;
  void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT mis) override;
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT dis) override;

 private:
  STRUCT_DLL_INFO* Info() const { return GetDllInfo(m_client); }
  void EnableLineButtons(BOOL enable) {
    m_btnMoveTop.EnableWindow(enable);
    m_btnRemove.EnableWindow(enable);
  }
  void MoveToTop();
  void Remove();
  void AddNewFile();

  CCpClient* m_client;
  CButton m_btnRemove, m_btnMoveTop;
  CListBox m_lbFiles;
};

BOOL CChemStrucDatabaseDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  EnableLineButtons(FALSE);
  if (HLOCAL hList = ReadDatabaseList(Info())) {
    const char* list = static_cast<const char*>(LocalLock(hList));
    for (const char* p = list; *p; p += std::strlen(p) + 1) m_lbFiles.AddString(Lower(p));
    LocalUnlock(hList);
    LocalFree(hList);
  }
  return TRUE;
}

void CChemStrucDatabaseDialog::MoveToTop() {
  // Without a selection there is nothing to move (not an empty line).
  const int sel = m_lbFiles.GetCurSel();
  if (sel > 0) {
    CString line;
    m_lbFiles.GetText(sel, line);
    m_lbFiles.DeleteString(sel);
    m_lbFiles.InsertString(0, line);
  }
  m_lbFiles.SetCurSel(-1);
  EnableLineButtons(FALSE);
}

void CChemStrucDatabaseDialog::Remove() {
  const int sel = m_lbFiles.GetCurSel();
  if (sel >= 0) m_lbFiles.DeleteString(sel);
  // Nothing is selected afterwards, so neither button has a line to act on.
  m_lbFiles.SetCurSel(-1);
  EnableLineButtons(FALSE);
}

void CChemStrucDatabaseDialog::AddNewFile() {
  CCommandProcessor* pcp = m_client->pcp;
  std::string start;
  LPCSTR value = nullptr;
  if (pcp->GetStringVariable("_LIBPATH$", &value) == 0 && value) {
    start = value;
    if (!start.empty() && start.back() == '\\') start.pop_back();
  } else if (pcp->nErrors > 0) {
    // The variable is optional: its absence is no error of the macro.
    --pcp->nErrors;
  }
  char path[MAX_PATH];
  if (SelectFileDialog(Info(), m_hWnd, IDS_FILTER_DATABASE, IDS_TITLE_DATABASE, path,
                       start.empty() ? nullptr : start.c_str()))
    m_lbFiles.AddString(path);
}

BOOL CChemStrucDatabaseDialog::OnCommand(UINT nID, UINT nCode) {
  switch (nID) {
    case IDC_DB_LIST:
      if (nCode == LBN_SELCHANGE) EnableLineButtons(m_lbFiles.GetCurSel() >= 0);
      if (nCode == LBN_DBLCLK) MoveToTop();
      return TRUE;
    case IDC_DB_MOVETOP:
      if (nCode == BN_CLICKED) MoveToTop();
      return TRUE;
    case IDC_DB_REMOVE:
      if (nCode == BN_CLICKED) Remove();
      return TRUE;
    case IDC_DB_ADD:
      if (nCode == BN_CLICKED) AddNewFile();
      return TRUE;
    case IDC_DB_HELP:
      if (nCode == BN_CLICKED) ShowHelp(m_client, 1, kHelpContext);
      return TRUE;
    default:
      return CDialog::OnCommand(nID, nCode);
  }
}

void CChemStrucDatabaseDialog::OnOK() {
  std::vector<CString> paths;
  for (int i = 0; i < m_lbFiles.GetCount(); ++i) {
    CString line;
    m_lbFiles.GetText(i, line);
    paths.push_back(line);
  }
  Info()->nDlgStatus = WriteDatabaseList(m_client->pcp, paths);
  EndDialog(IDOK);
}

void CChemStrucDatabaseDialog::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT mis) {
  HWND list = ::GetDlgItem(m_hWnd, nIDCtl);
  HFONT font = list ? reinterpret_cast<HFONT>(::SendMessage(list, WM_GETFONT, 0, 0)) : nullptr;
  if (!font) font = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
  mis->itemHeight = static_cast<UINT>(std::max(1, LineHeight(m_hWnd, font, true)));
}

void CChemStrucDatabaseDialog::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
  if (dis->itemAction & ODA_FOCUS) {
    DrawFocusRect(dis->hDC, &dis->rcItem);
    return;
  }
  if (dis->itemID == static_cast<UINT>(-1)) return;
  const bool selected = dis->itemState & ODS_SELECTED;
  HDC hdc = dis->hDC;
  const RECT& rc = dis->rcItem;
  HBRUSH fill = CreateSolidBrush(selected ? RGB(0, 0, 0) : RGB(255, 255, 255));
  FillRect(hdc, &rc, fill);
  DeleteObject(fill);
  SetBkMode(hdc, OPAQUE);
  SetBkColor(hdc, selected ? RGB(0, 0, 0) : RGB(255, 255, 255));
  SetTextColor(hdc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));

  CString line;
  m_lbFiles.GetText(static_cast<int>(dis->itemID), line);
  const std::string text = line.str();
  // The file name follows the last backslash, or a drive's colon.
  size_t cut = text.rfind('\\');
  std::string dir, name;
  if (cut != std::string::npos) {
    dir = text.substr(0, cut);
    name = text.substr(cut + 1);
  } else if ((cut = text.find(':')) != std::string::npos) {
    dir = text.substr(0, cut + 1);
    name = text.substr(cut + 1);
  } else {
    name = text;
  }
  const int position = static_cast<int>(dis->itemID) + 1;
  const UINT idSuffix = position == 1   ? IDS_ORDER_SUFFIX1
                        : position == 2 ? IDS_ORDER_SUFFIX2
                        : position == 3 ? IDS_ORDER_SUFFIX3
                                        : IDS_ORDER_SUFFIXN;
  CString order;
  order.Format("%d%s", position, static_cast<LPCSTR>(LoadText(idSuffix)));

  const int w = LOWORD(GetDialogBaseUnits());
  SIZE extent{};
  GetTextExtentPoint32(hdc, order, order.GetLength(), &extent);
  TextOut(hdc, rc.left + 6 * w - extent.cx, rc.top, order, order.GetLength());
  TextOut(hdc, rc.left + 9 * w, rc.top, name.c_str(), static_cast<int>(name.size()));
  TextOut(hdc, rc.left + 25 * w, rc.top, dir.c_str(), static_cast<int>(dir.size()));
}

}  // namespace

STRUCT_COMMAND(DBManageCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  (void)args;
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  info->nDlgStatus = 0;
  CChemStrucDatabaseDialog dlg(client, CWnd::FromHandle(client->pcp->hwndMain));
  dlg.DoModal();
  return info->nDlgStatus;
}
