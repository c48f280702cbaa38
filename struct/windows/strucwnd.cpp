#include "windows/strucwnd.h"

#include <cstdlib>
#include <new>
#include <set>

#include "dialogs/drawopts.h"
#include "render/draw.h"
#include "render/metafile.h"
#include "resources/resource.h"

namespace {

// The windows alive, so that a client's end takes its windows with it.
// Never destroyed (a window may go after static destruction at exit), and
// held in static storage, so an unloaded library leaves no block behind.
std::set<CChemStructureWindow*>& LiveWindows() {
  using Set = std::set<CChemStructureWindow*>;
  alignas(Set) static unsigned char storage[sizeof(Set)];
  static Set* live = new (storage) Set;
  return *live;
}

}  // namespace

CChemStructureWindow::~CChemStructureWindow() {
  if (IsAlive()) DestroyWindow();
  std::free(m_pRecord);
  LiveWindows().erase(this);
}

bool CChemStructureWindow::SetStructure(const CSDRAWREC* rec) {
  // The copy is made before the old record goes, so the new one never
  // points at freed memory.
  CSDRAWREC* copy = rec ? DuplicateStructureRecord(rec) : nullptr;
  std::free(m_pRecord);
  m_pRecord = copy;
  if (copy) SetWindowText(copy->szName);
  return copy || !rec;
}

short CChemStructureWindow::CopyToClipboard() {
  if (!m_pRecord) return 0;
  RECT rc;
  GetClientRect(&rc);
  return MakeStructureMetafile(m_pClient->pcp, GetDllInfo(m_pClient), m_hWnd, nullptr, m_pRecord,
                               &rc);
}

LRESULT CChemStructureWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  switch (message) {
    case WM_CREATE: {
      const LRESULT r = Default();
      if (r != -1) {
        m_nRefs = 1;
        m_hFont = nullptr;
        LiveWindows().insert(this);
        if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE)) {
          DeleteMenu(menu, 8, MF_BYPOSITION);
          AppendMenu(menu, MF_STRING, IDM_STRUCTURE_COPY_CMD, LoadText(IDS_MENU_COPY));
        }
      }
      return r;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(m_hWnd, &ps);
      RECT rc;
      GetClientRect(&rc);
      if (hdc) DrawStructure(m_pClient->pcp, m_pRecord, hdc, hdc, &rc, 0);
      EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_CHAR:
      if (wParam == 3) CopyToClipboard();
      return Default();
    case WM_SYSCOMMAND:
      if (wParam == IDM_STRUCTURE_COPY_CMD) CopyToClipboard();
      return Default();
    case WM_LBUTTONDBLCLK:
      if (m_pRecord && RunDrawOptions(m_pClient, m_pRecord)) Invalidate(TRUE);
      return Default();
    case WM_SIZE: {
      Invalidate(TRUE);
      const LRESULT r = Default();
      if (wParam == SIZE_MAXIMIZED) {
        RECT parent;
        if (HWND hParent = ::GetParent(m_hWnd); hParent && ::GetClientRect(hParent, &parent))
          MoveWindow(0, 0, parent.right - parent.left, parent.bottom - parent.top, TRUE);
      }
      return r;
    }
    case WM_CLOSE:
      ShowWindow(SW_HIDE);
      return Default();
    case WM_DESTROY: {
      const LRESULT r = Default();
      std::free(m_pRecord);
      m_pRecord = nullptr;
      LiveWindows().erase(this);
      return r;
    }
    case WM_SETFOCUS: {
      const LRESULT r = Default();
      SendMessage(WM_NCACTIVATE, TRUE);
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = Default();
      SendMessage(WM_NCACTIVATE, FALSE);
      return r;
    }
    case WM_CHILDACTIVATE: {
      const LRESULT r = Default();
      SetFocus();
      return r;
    }
    case WM_LBUTTONDOWN:
      if (!::IsIconic(m_hWnd)) ::BringWindowToTop(m_hWnd);
      return Default();
    case WM_SETFONT:
      m_hFont = reinterpret_cast<HFONT>(wParam);
      Invalidate(TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(m_hFont);
    case WM_SYSCOLORCHANGE: {
      const LRESULT r = Default();
      Invalidate(TRUE);
      return r;
    }
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(GetDllInfo(m_pClient)->hcurStructure);
    case WM_COMMAND:
      // System commands that reach the window as commands go on as what they are.
      if (LOWORD(wParam) >= 0xF001) return SendMessage(WM_SYSCOMMAND, wParam, lParam);
      return Default();
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}

void DestroyClientWindows(CCpClient* client) {
  std::set<CChemStructureWindow*> live = LiveWindows();
  for (CChemStructureWindow* w : live)
    if (w->m_pClient == client && w->IsAlive()) w->DestroyWindow();
}
