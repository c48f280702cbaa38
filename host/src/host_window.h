// The host's main window and, inside it, the drawing view (class
// "ViewDrawClass") that structure windows are children of.
#pragma once

#include <windows.h>

#include <string>

namespace host {

class HostWindows {
 public:
  HostWindows() = default;
  ~HostWindows() { Destroy(); }
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

  // The view gets the given client size.
  bool Create(int viewWidth, int viewHeight, std::string& error);
  // Destroys both windows and every child left in them.
  void Destroy();

  HWND main() const { return main_; }
  HWND view() const { return view_; }

 private:
  HWND main_ = nullptr;
  HWND view_ = nullptr;
};

extern const char kViewClass[];  // "ViewDrawClass"

}  // namespace host
