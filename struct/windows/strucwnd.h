// The structure window: a child of the host's drawing view showing one
// structure, scaled to its client area, with its own copy of the record. It
// copies itself on Ctrl+C and from its system menu and opens the drawing
// options of its record on a double click.
//
// Lifetime: the window values of the macro language count the object
// (m_nRefs). A user's close destroys only the window; the object stays, its
// values then report the window as gone, and it goes with the last value
// (which destroys the window first when it still exists).
#pragma once

#include <afxdlg.h>

#include "core/common.h"
#include "database/drawrec.h"

class CChemStructureWindow : public CWnd {
 public:
  explicit CChemStructureWindow(CCpClient* client) : m_pClient(client) {}
  ~CChemStructureWindow() override;

  // A copy of rec (null: none) becomes the window's record; its name becomes
  // the title. False when the copy could not be made (the window then shows
  // nothing and keeps its title).
  bool SetStructure(const CSDRAWREC* rec);
  // The picture of the client area on the clipboard; 0 without a record (and
  // for an empty client area), else MakeStructureMetafile's status.
  short CopyToClipboard();
  // Whether the window still exists (the user has not closed it).
  bool IsAlive() const { return m_hWnd && IsWindow(m_hWnd); }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  CCpClient* m_pClient;
  HFONT m_hFont = nullptr;
  LONG m_nRefs = 0;
  CSDRAWREC* m_pRecord = nullptr;
};

// The system-menu command of the copy item.
#define IDM_STRUCTURE_COPY_CMD 300

// Destroys every structure window of client still alive (the client ends).
void DestroyClientWindows(CCpClient* client);
