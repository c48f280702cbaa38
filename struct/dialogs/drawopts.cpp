// "CSDrawOpts": the dialog "Chemical Structure Options" over a sample record.
// Every change goes at once into the sample's options, so the preview shows
// them; OK hands them to their target. The lower "User Library" half is
// outside the dialog until "Add >>" opens it.
#include "dialogs/drawopts.h"

#include <afxdlg.h>
#include <commdlg.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/settings.h"
#include "database/lookup.h"
#include "database/userlib.h"
#include "dialogs/dlgtext.h"
#include "dialogs/entries.h"
#include "dialogs/preview.h"
#include "resources/dialogs.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kHelpContext = 272;
constexpr LONG kMinSize = 10, kMaxSize = 20;

// The size field read as "%ld" would read it: blanks, a sign, digits; false
// when no digit comes. Long runs of digits saturate instead of wrapping.
bool ReadSizeText(const CString& text, long long* value) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') return false;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) v = std::min<long long>(v * 10 + (*p - '0'), INT32_MAX + 1LL);
  *value = negative ? -v : v;
  return true;
}

long long Magnitude(LONG v) { return std::llabs(static_cast<long long>(v)); }

class CChemStrucDrawOptsDialog : public CDialog {
 public:
  CChemStrucDrawOptsDialog(CCpClient* client, CSDRAWREC* sample, CWnd* parent)
      : CDialog(IDD_DRAWOPTS, parent), m_client(client), m_sample(sample) {}

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(UINT nID, UINT nCode) override;
  void OnOK() override;
  void OnPaint() override { PostMessage(WM_DRAWPREVIEW); }
  HBRUSH OnCtlColor(HDC hdc, CWnd* pWnd, UINT nCtlColor) override;
  void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT mis) override;
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT dis) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  STRUCT_DLL_INFO* Info() const { return GetDllInfo(m_client); }
  CSDRAWOPTS& Opts() { return m_sample->drawOpts; }
  void OptionsToControls();
  void ControlsToOptions(LONG turns);
  void UpdateAddButton(bool fromList);
  void ShowOverwriteWarning(bool show);
  void EnableLibraryGroup(BOOL enable);
  void SetHeight(bool expanded);
  void RepaintPreview();
  short AddToLibrary();
  bool EditItemColour();
  bool ChooseLabelFont();

  CCpClient* m_client;
  CSDRAWREC* m_sample;
  CButton m_grpSample, m_grpLibrary;
  CComboBox m_cbColors, m_cbLibrary;
  CButton m_chkBorder, m_chkThick, m_chkDashed;
  CEdit m_edFont, m_edSize, m_edId, m_edName;
  CButton m_rbTransparent, m_rbOpaque, m_rbAbs, m_rbRel;
  CButton m_btnAdd;
  CStatic m_stOverwrite;
};

void CChemStrucDrawOptsDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_DO_SAMPLE, m_grpSample);
  DDX_Control(pDX, IDC_DO_LIBGROUP, m_grpLibrary);
  DDX_Control(pDX, IDC_DO_COLORITEMS, m_cbColors);
  DDX_Control(pDX, IDC_DO_LIBRARY, m_cbLibrary);
  DDX_Control(pDX, IDC_DO_BORDER, m_chkBorder);
  DDX_Control(pDX, IDC_DO_THICK, m_chkThick);
  DDX_Control(pDX, IDC_DO_DASHED, m_chkDashed);
  DDX_Control(pDX, IDC_DO_FONTNAME, m_edFont);
  DDX_Control(pDX, IDC_DO_SIZE, m_edSize);
  DDX_Control(pDX, IDC_DO_IDNUMBER, m_edId);
  DDX_Control(pDX, IDC_DO_NAME, m_edName);
  DDX_Control(pDX, IDC_DO_TRANSPARENT, m_rbTransparent);
  DDX_Control(pDX, IDC_DO_OPAQUE, m_rbOpaque);
  DDX_Control(pDX, IDC_DO_ABS, m_rbAbs);
  DDX_Control(pDX, IDC_DO_REL, m_rbRel);
  DDX_Control(pDX, IDC_DO_ADD, m_btnAdd);
  DDX_Control(pDX, IDC_DO_OVERWRITE, m_stOverwrite);
}

BOOL CChemStrucDrawOptsDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_edName.SetWindowText(m_sample->szName);
  CString id;
  if (m_sample->lId >= 1) id.Format("%ld", static_cast<long>(m_sample->lId));
  m_edId.SetWindowText(id);
  m_edSize.LimitText(4);
  for (UINT item = IDS_COLOR_SINGLEBONDS; item <= IDS_COLOR_BORDER; ++item)
    m_cbColors.AddString(LoadText(item));
  m_cbColors.SetCurSel(0);

  OptionsToControls();
  UpdateAddButton(false);
  ShowOverwriteWarning(false);
  SetHeight(false);

  if (HLOCAL hList = ReadDatabaseList(Info())) {
    const char* list = static_cast<const char*>(LocalLock(hList));
    for (const char* p = list; *p; p += std::strlen(p) + 1) m_cbLibrary.AddString(Lower(p));
    LocalUnlock(hList);
    LocalFree(hList);
  }
  EnableLibraryGroup(FALSE);
  return TRUE;
}

void CChemStrucDrawOptsDialog::OptionsToControls() {
  const CSDRAWOPTS& o = Opts();
  m_grpSample.SetWindowText(m_sample->szName);
  m_rbOpaque.SetCheck(o.wBkMode == 2);
  m_rbTransparent.SetCheck(o.wBkMode != 2);
  m_rbRel.SetCheck(o.lFontHeight > 0);
  m_rbAbs.SetCheck(o.lFontHeight <= 0);
  CString size;
  size.Format("%lld", Magnitude(o.lFontHeight));
  m_edSize.SetWindowText(size);
  char face[LF_FACESIZE];
  CopyText(face, o.lfLabel.lfFaceName, sizeof face);
  m_edFont.SetWindowText(face);
  m_chkDashed.SetCheck(o.bCircles == 2);
  m_chkBorder.SetCheck(o.bBorder != 0);
  m_chkThick.SetCheck(o.bThickBonds != 0);
}

void CChemStrucDrawOptsDialog::ControlsToOptions(LONG turns) {
  CSDRAWOPTS& o = Opts();
  CString text;
  m_edFont.GetWindowText(text);
  CopyText(o.lfLabel.lfFaceName, text, LF_FACESIZE);

  // Text that is no number keeps the height; either way the magnitude is
  // what gets clamped, so Abs does not turn a kept height into the minimum.
  m_edSize.GetWindowText(text);
  long long size = Magnitude(o.lFontHeight);
  long long typed;
  if (ReadSizeText(text, &typed)) size = typed;
  size = std::clamp<long long>(size, kMinSize, kMaxSize);
  text.Format("%lld", size);
  m_edSize.SetWindowText(text);
  o.lFontHeight = static_cast<LONG>(m_rbAbs.GetCheck() ? -size : size);

  o.wBkMode = m_rbOpaque.GetCheck() ? 2 : 1;
  o.bCircles = m_chkDashed.GetCheck() ? 2 : 1;
  o.bBorder = m_chkBorder.GetCheck() ? 1 : 0;
  o.bThickBonds = m_chkThick.GetCheck() ? 1 : 0;
  o.bRotate = static_cast<BYTE>(turns % 4);
}

void CChemStrucDrawOptsDialog::UpdateAddButton(bool fromList) {
  CString idText, library;
  m_edId.GetWindowText(idText);
  m_cbLibrary.GetWindowText(library);
  // Anything typed may be pressed for: an ID out of range is refused with a
  // message then.
  m_btnAdd.EnableWindow(!Trimmed(idText).IsEmpty() && (fromList || !Trimmed(library).IsEmpty()));
}

// The window's own visibility, whether or not the dialog shows yet.
bool IsShown(const CWnd& w) { return (GetWindowLong(w.m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0; }

void CChemStrucDrawOptsDialog::ShowOverwriteWarning(bool show) {
  if (IsShown(m_stOverwrite) == show) return;
  m_stOverwrite.ShowWindow(show ? SW_SHOW : SW_HIDE);
  m_btnAdd.SetWindowText(LoadText(show ? IDS_BTN_OVERWRITE : IDS_BTN_ADDSTRUCTURE));
}

void CChemStrucDrawOptsDialog::EnableLibraryGroup(BOOL enable) {
  for (int id : {IDC_DO_IDNUMBER, IDC_DO_NAME, IDC_DO_LIBRARY, IDC_DO_ADD, IDC_DO_LIBLABEL,
                 IDC_DO_NAMELABEL, IDC_DO_IDLABEL})
    if (CWnd* w = GetDlgItem(id)) w->EnableWindow(enable);
}

// Collapsed, the dialog ends at the top of the library group; expanded, just
// below its bottom.
void CChemStrucDrawOptsDialog::SetHeight(bool expanded) {
  RECT dlg, group;
  GetWindowRect(&dlg);
  m_grpLibrary.GetWindowRect(&group);
  const int height =
      expanded ? group.bottom - dlg.top + 3 * GetSystemMetrics(SM_CYFRAME) : group.top - dlg.top;
  SetWindowPos(nullptr, 0, 0, dlg.right - dlg.left, height, SWP_NOMOVE | SWP_NOZORDER);
  m_btnAdd.EnableWindow(!expanded);
}

void CChemStrucDrawOptsDialog::RepaintPreview() {
  CWnd* frame = GetDlgItem(IDC_PREVIEW_FRAME);
  if (!frame) return;
  RECT rc;
  frame->GetWindowRect(&rc);
  ScreenToClient(&rc);
  InvalidateRect(&rc, TRUE);
}

short CChemStrucDrawOptsDialog::AddToLibrary() {
  CString idText, library, name;
  m_edId.GetWindowText(idText);
  m_cbLibrary.GetWindowText(library);
  library = Trimmed(library);
  LONG id;
  if (!TypedIdOrRefuse(m_hWnd, idText, &id)) return 1;
  if (!IsShown(m_stOverwrite) && FindIndexEntry(m_client->pcp, library, id) != 0) {
    MessageBeep(0);
    ShowOverwriteWarning(true);
    return 1;
  }
  m_edName.GetWindowText(name);
  CopyText(m_sample->szName, name, CS_NAME_MAX + 1);
  m_sample->lId = id;
  const short status =
      AddStructureToLibrary(library, &m_sample, 1, nullptr, m_client, FALSE, nullptr);
  if (status != 0)
    MessageBox(m_hWnd, LoadText(IDS_MSG_LIBRARYEDITFAILED), nullptr, MB_OK);
  else
    m_grpSample.SetWindowText(m_sample->szName);
  return status;
}

// The custom boxes of the chooser are the seven item colours and the client's
// custom colours 8 to 16, so editing a box changes an item too.
bool CChemStrucDrawOptsDialog::EditItemColour() {
  const int sel = m_cbColors.GetCurSel();
  if (sel < 0 || sel >= NUM_COLOR_ITEMS) return false;
  CSDRAWOPTS& o = Opts();
  STRUCT_DLL_INFO* info = Info();
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = i < NUM_COLOR_ITEMS ? o.crItem[i] : info->crCustom[i];
  CHOOSECOLOR cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = m_hWnd;
  cc.rgbResult = o.crItem[sel];
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (!ChooseColor(&cc)) return false;
  for (int i = 0; i < 16; ++i) (i < NUM_COLOR_ITEMS ? o.crItem[i] : info->crCustom[i]) = custom[i];
  o.crItem[sel] = cc.rgbResult;
  m_cbColors.Invalidate();
  return true;
}

bool CChemStrucDrawOptsDialog::ChooseLabelFont() {
  CSDRAWOPTS& o = Opts();
  LOGFONT lf = o.lfLabel;
  CHOOSEFONT cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = m_hWnd;
  cf.lpLogFont = &lf;
  // The chooser starts from the size as the field shows it, whatever its sign.
  cf.iPointSize = static_cast<INT>(std::min<long long>(Magnitude(o.lFontHeight) * 10, INT32_MAX));
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_ANSIONLY | CF_LIMITSIZE |
             CF_SCALABLEONLY;
  cf.rgbColors = o.crItem[ITEM_TEXTSTRINGS];
  cf.nFontType = SCREEN_FONTTYPE;
  cf.nSizeMin = kMinSize;
  cf.nSizeMax = kMaxSize;
  if (!ChooseFont(&cf)) return false;
  o.lfLabel = lf;
  const LONG points = cf.iPointSize / 10;
  o.lFontHeight = o.lFontHeight < 0 ? -points : points;
  o.crItem[ITEM_TEXTSTRINGS] = cf.rgbColors;
  return true;
}

BOOL CChemStrucDrawOptsDialog::OnCommand(UINT nID, UINT nCode) {
  STRUCT_DLL_INFO* info = Info();
  switch (nID) {
    case IDC_DO_IDNUMBER:
      if (nCode == EN_CHANGE) {
        UpdateAddButton(false);
        ShowOverwriteWarning(false);
      }
      return TRUE;
    case IDC_DO_LIBRARY:
      if (nCode == CBN_SELCHANGE) {
        UpdateAddButton(true);
        ShowOverwriteWarning(false);
      } else if (nCode == CBN_EDITCHANGE) {
        UpdateAddButton(false);
        ShowOverwriteWarning(false);
        m_cbLibrary.ShowDropDown(FALSE);
      }
      return TRUE;
    case IDC_DO_EXPAND:
      if (nCode == BN_CLICKED) {
        SetHeight(true);
        EnableLibraryGroup(TRUE);
        // The same rule as typing the ID: never Add with an ID below 1.
        UpdateAddButton(false);
        NextDlgCtrl();
      }
      return TRUE;
    case IDC_DO_ADD:
      if (nCode == BN_CLICKED && AddToLibrary() == 0) {
        SetHeight(false);
        ShowOverwriteWarning(false);
      }
      return TRUE;
    case IDC_DO_HELP:
      if (nCode == BN_CLICKED) ShowHelp(m_client, 1, kHelpContext);
      return TRUE;
    case IDC_DO_ROTATE:
      if (nCode == BN_CLICKED) {
        Opts().bRotate = 1;
        RepaintPreview();
        ++info->lDlgRotate;
      }
      return TRUE;
    case IDC_DO_CHOOSEFONT:
      if (nCode == BN_CLICKED && ChooseLabelFont()) {
        OptionsToControls();
        RepaintPreview();
      }
      return TRUE;
    case IDC_DO_EDITCOLOR:
      if (nCode == BN_CLICKED && EditItemColour()) {
        OptionsToControls();
        RepaintPreview();
      }
      return TRUE;
    case IDC_DO_TRANSPARENT:
    case IDC_DO_OPAQUE:
    case IDC_DO_ABS:
    case IDC_DO_REL:
      if (nCode == BN_CLICKED) {
        const bool bk = nID == IDC_DO_TRANSPARENT || nID == IDC_DO_OPAQUE;
        CheckRadioButton(m_hWnd, bk ? IDC_DO_TRANSPARENT : IDC_DO_ABS,
                         bk ? IDC_DO_OPAQUE : IDC_DO_REL, static_cast<int>(nID));
        ControlsToOptions(0);
        RepaintPreview();
      }
      return TRUE;
    case IDC_DO_DASHED:
    case IDC_DO_BORDER:
    case IDC_DO_THICK:
      if (nCode == BN_CLICKED) {
        ControlsToOptions(0);
        RepaintPreview();
      }
      return TRUE;
    case IDC_DO_SIZE:
    case IDC_DO_FONTNAME:
      if (nCode == EN_KILLFOCUS) {
        CEdit& edit = nID == IDC_DO_SIZE ? m_edSize : m_edFont;
        if (edit.GetModify()) {
          edit.SetModify(FALSE);
          ControlsToOptions(0);
          RepaintPreview();
        }
      }
      return TRUE;
    default:
      return CDialog::OnCommand(nID, nCode);
  }
}

void CChemStrucDrawOptsDialog::OnOK() {
  ControlsToOptions(Info()->lDlgRotate);
  EndDialog(IDOK);
}

HBRUSH CChemStrucDrawOptsDialog::OnCtlColor(HDC hdc, CWnd* pWnd, UINT nCtlColor) {
  if (pWnd && pWnd->GetDlgCtrlID() == IDC_DO_OVERWRITE) {
    SetTextColor(hdc, RGB(255, 0, 0));
    return static_cast<HBRUSH>(GetCurrentObject(hdc, OBJ_BRUSH));
  }
  return CDialog::OnCtlColor(hdc, pWnd, nCtlColor);
}

void CChemStrucDrawOptsDialog::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT mis) {
  HWND list = ::GetDlgItem(m_hWnd, nIDCtl);
  HFONT font = list ? reinterpret_cast<HFONT>(::SendMessage(list, WM_GETFONT, 0, 0)) : nullptr;
  if (!font) font = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
  if (!font) {
    mis->itemHeight = 50;
    return;
  }
  HDC hdc = ::GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(hdc, font);
  TEXTMETRIC tm{};
  const BOOL ok = GetTextMetrics(hdc, &tm);
  SelectObject(hdc, old);
  ::ReleaseDC(m_hWnd, hdc);
  const int height = ok ? tm.tmHeight + tm.tmDescent : 0;
  mis->itemHeight = static_cast<UINT>(height > 0 ? height : HIWORD(GetDialogBaseUnits()));
}

// An item of the colour list: its swatch in the item's colour, then its name.
void CChemStrucDrawOptsDialog::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
  if (dis->itemAction & ODA_FOCUS) {
    DrawFocusRect(dis->hDC, &dis->rcItem);
    return;
  }
  if (dis->itemID == static_cast<UINT>(-1)) return;
  HDC hdc = dis->hDC;
  const RECT& rc = dis->rcItem;
  const bool selected = dis->itemState & ODS_SELECTED;
  const COLORREF back = selected ? RGB(0, 0, 0) : RGB(255, 255, 255);
  const COLORREF fore = selected ? RGB(255, 255, 255) : RGB(0, 0, 0);
  HBRUSH fill = CreateSolidBrush(back);
  FillRect(hdc, &rc, fill);
  DeleteObject(fill);

  TEXTMETRIC tm{};
  GetTextMetrics(hdc, &tm);
  const int w = tm.tmAveCharWidth;
  const int item = static_cast<int>(dis->itemID);
  if (item < NUM_COLOR_ITEMS) {
    const int h = tm.tmHeight - tm.tmDescent;
    const int top = rc.top + ((rc.bottom - rc.top) - h) / 2;
    const int left = rc.left + w / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, fore);
    HBRUSH swatch = CreateSolidBrush(Opts().crItem[item]);
    HGDIOBJ oldPen = SelectObject(hdc, pen), oldBrush = SelectObject(hdc, swatch);
    Rectangle(hdc, left, top, left + (7 * w) / 2, top + h);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(pen);
    DeleteObject(swatch);
  }
  CString text;
  m_cbColors.GetLBText(item, text);
  SetBkMode(hdc, OPAQUE);
  SetBkColor(hdc, back);
  SetTextColor(hdc, fore);
  TextOut(hdc, rc.left + 5 * w, rc.top, text, text.GetLength());
}

LRESULT CChemStrucDrawOptsDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWPREVIEW) {
    DrawSamplePreview(m_client->pcp, Info(), m_hWnd, m_sample);
    return TRUE;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

// The sample for the global options: the default structure, else record 1.
// Only when both fail is there anything to report.
short LoadGlobalSample(CCpClient* client, CSDRAWREC** sample) {
  CCommandProcessor* pcp = client->pcp;
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  *sample = nullptr;
  if (info->lDefStructureCas != 0) {
    CQuietReports quiet(true);
    if (LoadStructure(pcp, info, info->lDefStructureCas, sample) == 0 && *sample) return 0;
  }
  return LoadStructure(pcp, info, -1, sample);
}

}  // namespace

int RunDrawOptions(CCpClient* client, CSDRAWREC* rec) {
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  CCommandProcessor* pcp = client->pcp;
  info->nDlgStatus = 0;
  CSDRAWREC* sample = nullptr;
  if (rec) {
    sample = DuplicateStructureRecord(rec);
    if (!sample) info->nDlgStatus = ReportError(pcp, IDS_ERR_NOMEMORY);
    // A quarter turn stored but not yet drawn shows in the preview, so OK
    // keeps it rather than throwing it away.
    info->lDlgRotate = rec->drawOpts.bRotate;
  } else {
    info->nDlgStatus = LoadGlobalSample(client, &sample);
    info->lDlgRotate = info->drawOpts.bRotate;
  }
  if (info->nDlgStatus != 0 || !sample) {
    std::free(sample);
    return 0;
  }
  CChemStrucDrawOptsDialog dlg(client, sample, CWnd::FromHandle(pcp->hwndMain));
  int applied = 0;
  if (dlg.DoModal() == IDOK) {
    if (rec) {
      rec->drawOpts = sample->drawOpts;
    } else {
      info->drawOpts = sample->drawOpts;
      info->nDlgStatus = WriteSettings(pcp, info);
    }
    applied = 1;
  }
  std::free(sample);
  return applied;
}

STRUCT_COMMAND(DrawOptsCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CSDRAWREC* rec = nullptr;
  if (HasArg(args, 1)) {
    rec = static_cast<CSDRAWREC*>(args[0]->pWord3);
    if (!rec) return ReportError(client->pcp, IDS_ERR_LOCKFAILED);
  }
  RunDrawOptions(client, rec);
  return GetDllInfo(client)->nDlgStatus;
}
