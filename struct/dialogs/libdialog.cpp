// The user library dialog ("User Library Edit"): in edit mode the editor of
// "CSEditLib", in prompt mode the ID prompt of an addition, which is the same
// dialog cut off above its "Structure" group.
//
// In the prompt, Add takes the typed ID and name over into the record and
// closes the dialog: the addition that asked stores the structure, once, under
// that ID. (A store from inside the prompt could not open the library, which
// the asking addition holds open.)
#include "dialogs/libdialog.h"

#include <afxdlg.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/settings.h"
#include "database/lookup.h"
#include "database/userlib.h"
#include "dialogs/dlgtext.h"
#include "dialogs/preview.h"
#include "resources/dialogs.h"
#include "resources/resource.h"

namespace {

class CUserIDDialog : public CDialog {
 public:
  CUserIDDialog(CCpClient* client, CSDRAWREC* rec, HANDLE hIndex, CWnd* parent)
      : CDialog(IDD_USERLIB, parent), m_client(client), m_rec(rec), m_hIndex(hIndex) {}

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(UINT nID, UINT nCode) override;
  void OnCancel() override;
  void OnPaint() override { PostMessage(WM_DRAWPREVIEW); }
  HBRUSH OnCtlColor(HDC hdc, CWnd* pWnd, UINT nCtlColor) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  STRUCT_DLL_INFO* Info() const { return GetDllInfo(m_client); }
  void UpdateAddButton();
  void HideOverwritePrompt();
  void OnAdd();
  void SetCaption(UINT id) {
    char text[128];
    LoadStringText(id, text, sizeof text);
    m_btnAdd.SetWindowText(text);
  }

  CCpClient* m_client;
  CSDRAWREC* m_rec;
  HANDLE m_hIndex;  // the index an asking addition holds open, or none
  CComboBox m_cbLibrary;
  CEdit m_edName, m_edId;
  CButton m_grpStructure, m_btnAdd;
  CStatic m_stOverwrite;
};

void CUserIDDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_UL_LIBRARY, m_cbLibrary);
  DDX_Control(pDX, IDC_UL_NAME, m_edName);
  DDX_Control(pDX, IDC_UL_STRUCTURE, m_grpStructure);
  DDX_Control(pDX, IDC_UL_IDNUMBER, m_edId);
  DDX_Control(pDX, IDC_UL_ADD, m_btnAdd);
  DDX_Control(pDX, IDC_UL_OVERWRITE, m_stOverwrite);
}

BOOL CUserIDDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  STRUCT_DLL_INFO* info = Info();
  if (HLOCAL hList = ReadDatabaseList(info)) {
    const char* list = static_cast<const char*>(LocalLock(hList));
    for (const char* p = list; *p; p += std::strlen(p) + 1) m_cbLibrary.AddString(Lower(p));
    LocalUnlock(hList);
    LocalFree(hList);
  }
  if (m_rec) {
    CString id;
    id.Format("%ld", static_cast<long>(m_rec->lId < 1 ? 0 : m_rec->lId));
    m_edId.SetWindowText(id);
    m_edName.SetWindowText(m_rec->szName);
    m_grpStructure.SetWindowText(m_rec->szName);
  }
  m_cbLibrary.SetWindowText(Lower(info->lUserLibArg));
  UpdateAddButton();
  m_stOverwrite.ShowWindow(SW_HIDE);
  if (info->lUserLibMode == LIBDLG_PROMPT)
    for (int id : {IDC_UL_FINDID, IDC_UL_SEEK, IDC_UL_RECNO, IDC_UL_NEXT, IDC_UL_PREV})
      if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);

  // The prompt ends above the "Structure" group; the editor just below it.
  RECT dlg, group;
  GetWindowRect(&dlg);
  m_grpStructure.GetWindowRect(&group);
  const int height = info->lUserLibMode == LIBDLG_PROMPT
                         ? group.top - dlg.top
                         : group.bottom - dlg.top + 3 * GetSystemMetrics(SM_CYFRAME);
  SetWindowPos(nullptr, 0, 0, dlg.right - dlg.left, height, SWP_NOMOVE | SWP_NOZORDER);
  return TRUE;
}

void CUserIDDialog::UpdateAddButton() {
  CString id, library;
  m_edId.GetWindowText(id);
  m_cbLibrary.GetWindowText(library);
  // Anything typed may be pressed for: an ID out of range is refused with a
  // message then.
  m_btnAdd.EnableWindow(!Trimmed(id).IsEmpty() && !Trimmed(library).IsEmpty());
}

void CUserIDDialog::HideOverwritePrompt() {
  if (!m_stOverwrite.IsWindowVisible()) return;
  m_stOverwrite.ShowWindow(SW_HIDE);
  SetCaption(IDS_BTN_ADDSTRUCTURE);
}

void CUserIDDialog::OnAdd() {
  CString idText, library, name;
  m_edId.GetWindowText(idText);
  m_cbLibrary.GetWindowText(library);
  library = Trimmed(library);
  LONG id;
  if (!TypedIdOrRefuse(m_hWnd, idText, &id)) return;
  // The addition that asked holds the index open: it is searched through
  // that handle, since a second opening would be refused and find nothing.
  const LONG existing = m_hIndex != INVALID_HANDLE_VALUE
                            ? FindIndexEntryIn(m_client->pcp, m_hIndex, id)
                            : FindIndexEntry(m_client->pcp, library, id);
  if (!m_stOverwrite.IsWindowVisible() && existing != 0) {
    MessageBeep(0);
    m_stOverwrite.ShowWindow(SW_SHOW);
    SetCaption(IDS_BTN_OVERWRITE);
    return;
  }
  if (!m_rec) return;
  m_edName.GetWindowText(name);
  CopyText(m_rec->szName, name, CS_NAME_MAX + 1);
  m_rec->lId = id;
  if (Info()->lUserLibMode == LIBDLG_PROMPT) {
    EndDialog(IDOK);
    return;
  }
  if (AddStructureToLibrary(library, &m_rec, 1, nullptr, m_client, FALSE, nullptr) != 0) {
    char text[256];
    LoadStringText(IDS_MSG_LIBRARYEDITFAILED, text, sizeof text);
    MessageBox(m_hWnd, text, "User Library Edit", MB_OK | MB_ICONEXCLAMATION);
  } else {
    m_edName.SetWindowText(m_rec->szName);
  }
}

BOOL CUserIDDialog::OnCommand(UINT nID, UINT nCode) {
  switch (nID) {
    case IDC_UL_IDNUMBER:
      if (nCode == EN_CHANGE) {
        UpdateAddButton();
        HideOverwritePrompt();
      }
      return TRUE;
    case IDC_UL_LIBRARY:
      if (nCode == CBN_EDITCHANGE || nCode == CBN_SELCHANGE) UpdateAddButton();
      return TRUE;
    case IDC_UL_ADD:
      if (nCode == BN_CLICKED) OnAdd();
      return TRUE;
    case IDC_UL_HELP:
      return TRUE;
    default:
      return CDialog::OnCommand(nID, nCode);
  }
}

void CUserIDDialog::OnCancel() {
  Info()->lUserLibArg = nullptr;
  CDialog::OnCancel();
}

HBRUSH CUserIDDialog::OnCtlColor(HDC hdc, CWnd* pWnd, UINT nCtlColor) {
  if (pWnd && pWnd->GetDlgCtrlID() == IDC_UL_OVERWRITE) SetTextColor(hdc, RGB(255, 0, 0));
  return CDialog::OnCtlColor(hdc, pWnd, nCtlColor);
}

LRESULT CUserIDDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWPREVIEW) {
    DrawSamplePreview(m_client->pcp, Info(), m_hWnd, m_rec);
    return TRUE;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

}  // namespace

short RunLibraryDialog(CCpClient* client, CSDRAWREC* rec, LPCSTR library, LONG mode,
                       HANDLE hIndex) {
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  // A prompt may open inside the edit dialog (its addition asks for an ID):
  // the outer dialog's mode, library and status are its own again after.
  const LONG outerMode = info->lUserLibMode;
  LPCSTR outerArg = info->lUserLibArg;
  const int16_t outerStatus = info->nDlgStatus;
  info->nDlgStatus = 0;
  info->lUserLibArg = library;
  info->lUserLibMode = mode;
  CUserIDDialog dlg(client, rec, hIndex, CWnd::FromHandle(client->pcp->hwndMain));
  dlg.DoModal();
  const short status = info->nDlgStatus;
  info->lUserLibMode = outerMode;
  info->lUserLibArg = outerArg;
  info->nDlgStatus = outerStatus;
  return status;
}

short PromptForLibraryId(CCpClient* client, CSDRAWREC* rec, LPCSTR library, HANDLE hIndex) {
  return RunLibraryDialog(client, rec, library, LIBDLG_PROMPT, hIndex);
}
