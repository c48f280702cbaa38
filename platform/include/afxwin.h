// The application framework as the plug-in uses it: the text string class, the
// application object with its load and exit hooks, and the per-module state that
// every entry point makes current (instance and resource handles).
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

// Members defined in the platform library stay reachable from modules built
// with hidden visibility.
#define AFX_PLATFORM_API __attribute__((visibility("default")))

// ---------------------------------------------------------------- CString
class CString {
 public:
  CString() = default;
  CString(LPCSTR psz) : s_(psz ? psz : "") {}
  CString(const std::string& s) : s_(s) {}
  CString(const char* p, int n) : s_(p, n > 0 ? static_cast<size_t>(n) : 0) {}

  operator LPCSTR() const { return s_.c_str(); }
  LPCSTR GetString() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  int GetLength() const { return static_cast<int>(s_.size()); }
  BOOL IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char GetAt(int i) const { return s_[static_cast<size_t>(i)]; }
  char operator[](int i) const { return GetAt(i); }

  CString& operator=(LPCSTR psz) {
    s_ = psz ? psz : "";
    return *this;
  }
  CString& operator+=(LPCSTR psz) {
    if (psz) s_ += psz;
    return *this;
  }
  CString& operator+=(char c) {
    s_ += c;
    return *this;
  }
  CString& operator+=(const CString& o) {
    s_ += o.s_;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, LPCSTR b) { return CString(a.s_ + (b ? b : "")); }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, LPCSTR b) { return a.s_ == (b ? b : ""); }
  int Compare(LPCSTR psz) const { return s_.compare(psz ? psz : ""); }
  AFX_PLATFORM_API int CompareNoCase(LPCSTR psz) const;

  int Find(char c, int start = 0) const {
    auto p = s_.find(c, static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
  }
  CString Left(int n) const { return CString(s_.substr(0, n > 0 ? static_cast<size_t>(n) : 0)); }
  CString Mid(int first) const {
    return first >= GetLength() ? CString() : CString(s_.substr(static_cast<size_t>(first)));
  }
  CString Mid(int first, int n) const {
    return first >= GetLength()
               ? CString()
               : CString(s_.substr(static_cast<size_t>(first), n > 0 ? static_cast<size_t>(n) : 0));
  }

  // printf-style; the C library's conversions, so callers pass C types
  // (a LONG is passed as long for "%ld").
  AFX_PLATFORM_API void Format(LPCSTR fmt, ...);
  AFX_PLATFORM_API void FormatV(LPCSTR fmt, va_list ap);
  // Loads a string of the current resource module; FALSE when it has none.
  AFX_PLATFORM_API BOOL LoadString(UINT nID);

  LPSTR GetBuffer(int nMinLength) {
    if (static_cast<int>(s_.size()) < nMinLength) s_.resize(static_cast<size_t>(nMinLength));
    return s_.data();
  }
  void ReleaseBuffer(int nNewLength = -1) {
    s_.resize(nNewLength < 0 ? std::char_traits<char>::length(s_.c_str())
                             : static_cast<size_t>(nNewLength));
  }

 private:
  std::string s_;
};

// ---------------------------------------------------------------- module state
// One per loaded module; the entry points of a module make theirs current so
// string and resource loads find the module's own resources.
struct AFX_MODULE_STATE {
  HINSTANCE m_hCurrentInstanceHandle = nullptr;
  HINSTANCE m_hCurrentResourceHandle = nullptr;
  class CWinApp* m_pCurrentWinApp = nullptr;
};

AFX_MODULE_STATE* AfxGetModuleState();                     // the current one
AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* p);  // returns the previous

// Each module defines its own static state (see AFX_DEFINE_MODULE below).
AFX_MODULE_STATE* AfxGetStaticModuleState();

class AFX_MAINTAIN_STATE {
 public:
  explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* p) : prev_(AfxSetModuleState(p)) {}
  ~AFX_MAINTAIN_STATE() { AfxSetModuleState(prev_); }
  AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
  AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;

 private:
  AFX_MODULE_STATE* prev_;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE _ctlState(p)

inline HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
inline HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
inline void AfxSetResourceHandle(HINSTANCE h) { AfxGetModuleState()->m_hCurrentResourceHandle = h; }

// Registers a window class under a generated name ("Afx:..."), returned. Its
// procedure is AfxWndProc: messages go to the window's CWnd (afxdlg.h), or to
// DefWindowProc when no object is attached.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                           HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

// ---------------------------------------------------------------- resources
// A module's resources, compiled into it and handed to the platform at load.
struct RES_STRING {
  UINT id;
  LPCSTR text;
};
struct RES_MODULE {
  const RES_STRING* strings;
  size_t nStrings;
  const UINT* cursorIds;  // cursor resources by id
  size_t nCursors;
  const struct DLGTEMPLATEDEF* dialogs = nullptr;  // dialog templates (afxdlg.h)
  size_t nDialogs = 0;
};

// Makes a module known to the platform: addressInModule locates the shared
// object (for GetModuleFileName); the result is its instance handle.
HINSTANCE AfxRegisterModule(const void* addressInModule, const RES_MODULE* res);
void AfxUnregisterModule(HINSTANCE h);

// ---------------------------------------------------------------- application object
class CWinApp {
 public:
  explicit CWinApp(LPCSTR pszAppName = nullptr) : m_pszAppName(pszAppName) {}
  virtual ~CWinApp() = default;
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }

  LPCSTR m_pszAppName;
  HINSTANCE m_hInstance = nullptr;
};

// Load and unload of a shared-library module: attach makes the module known
// with its resources, makes its state current and runs InitInstance; detach
// runs ExitInstance. The module's static initialisation calls them, as the
// loader does for a DLL.
BOOL AfxDllAttach(CWinApp* app, AFX_MODULE_STATE* state, const void* addressInModule,
                  const RES_MODULE* res);
void AfxDllDetach(CWinApp* app, AFX_MODULE_STATE* state);
