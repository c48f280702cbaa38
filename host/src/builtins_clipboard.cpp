// Clipboard built-ins: text in and out. The clipboard is opened with the main
// window as its owner, as the plug-in opens it.
#include <cstring>

#include "builtins.h"
#include "failure.h"
#include "values.h"

namespace host {
namespace {

// Opens the clipboard for the length of a built-in.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {
    if (!open_) throw HostError{"cannot open the clipboard"};
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

 private:
  bool open_;
};

void ClipSetText(BuiltinCall& c) {
  c.Arity(1, 1);
  const std::string text = c.String(0);
  ClipboardSession session(c.rt.hwndMain);
  EmptyClipboard();
  // The block holds the text and its NUL, nothing more.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!block) throw HostError{"out of memory for the clipboard"};
  auto* p = static_cast<char*>(GlobalLock(block));
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);
    throw HostError{"cannot put text on the clipboard"};
  }
}

void ClipText(BuiltinCall& c) {
  c.Arity(0, 0);
  std::string text;
  {
    ClipboardSession session(c.rt.hwndMain);
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
      if (const auto* p = static_cast<const char*>(GlobalLock(block))) {
        text.assign(p, strnlen(p, GlobalSize(block)));
        GlobalUnlock(block);
      }
    }
  }
  c.result = NewString(text);
}

}  // namespace

void AddClipboardBuiltins(BuiltinTable& t) {
  t.Add(BuiltinKind::Command, "ClipSetText", ClipSetText);
  t.Add(BuiltinKind::Function, "ClipText$", ClipText);
}

}  // namespace host
