// "CSView": the record of a structure object listed as text in the dialog
// "Chemical Structure": every bond, atom label and aromatic circle with its
// coordinates in structure units. "_BUTTON" tells the macro how it closed.
#include <afxdlg.h>

#include <cstdarg>
#include <cstring>

#include "core/common.h"
#include "database/drawrec.h"
#include "dialogs/entries.h"
#include "resources/dialogs.h"
#include "resources/resource.h"

namespace {

class CChemStrucDialog : public CDialog {
 public:
  CChemStrucDialog(const CSDRAWREC* rec, CWnd* parent) : CDialog(IDD_VIEW, parent), m_rec(rec) {}

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VW_LIST, m_lbPoints);
  }
  BOOL OnInitDialog() override;

 private:
  void AddLine(UINT idFormat, ...);

  const CSDRAWREC* m_rec;
  CListBox m_lbPoints;
};

void CChemStrucDialog::AddLine(UINT idFormat, ...) {
  const CString format = LoadText(idFormat);
  va_list ap;
  va_start(ap, idFormat);
  CString line;
  line.FormatV(format, ap);
  va_end(ap);
  m_lbPoints.AddString(line);
}

BOOL CChemStrucDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_rec) return TRUE;
  const BYTE* types = RecBondTypes(m_rec);
  for (int i = 0; i < m_rec->nBonds; ++i) {
    const POINT a = RecPoint(m_rec, 2 * i), b = RecPoint(m_rec, 2 * i + 1);
    AddLine(IDS_VIEW_BOND, i + 1, static_cast<int>(types[i]), a.x, a.y, b.x, b.y);
  }
  const char* label = RecLabels(m_rec);
  for (int i = 0; i < m_rec->nLabels; ++i) {
    const POINT p = RecPoint(m_rec, m_rec->iFirstLabel + i);
    AddLine(IDS_VIEW_STRING, i + 1, p.x, p.y, label);
    label += std::strlen(label) + 1;
  }
  for (int i = 0; i < m_rec->nCircles; ++i) {
    const POINT c = RecPoint(m_rec, m_rec->iFirstCircle + i);
    AddLine(IDS_VIEW_CIRCLE, i + 1, c.x, c.y);
  }
  return TRUE;
}

}  // namespace

STRUCT_COMMAND(ChemStrucView) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  if (!HasArg(args, 1)) return 0;
  const auto* rec = static_cast<const CSDRAWREC*>(args[0]->pWord3);
  CChemStrucDialog dlg(rec, CWnd::FromHandle(client->pcp->hwndMain));
  const INT_PTR result = dlg.DoModal();
  client->pcp->SetNumericVariable("_BUTTON", result == IDOK ? 1 : 0);
  return 0;
}
