// Error reports in the words of the caller's string table. The status handed
// back is the message number, which the caller's entry point returns as is.
#include "hostutil.h"

#include <string>

namespace {

// Long enough for every message of a string table; longer texts are cut.
constexpr int kMaxText = 1024;

std::string LoadText(HINSTANCE hRes, int msg) {
  char buf[kMaxText] = {};
  int n = LoadString(hRes, static_cast<UINT>(msg), buf, kMaxText);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

short Report(int msg, const std::string& text) {
  hostutil::GetSinks().error(msg, text);
  return static_cast<short>(msg);
}

}  // namespace

short FormatErrorEx(HINSTANCE hRes, CCommandProcessor* /*pcp*/, int msg) {
  return Report(msg, LoadText(hRes, msg));
}

short FormatErrorNumEx(HINSTANCE hRes, CCommandProcessor* /*pcp*/, int msg, LONG value) {
  return Report(msg, hostutil::FormatNum(LoadText(hRes, msg).c_str(), value));
}

short FormatErrorNum64Ex(HINSTANCE hRes, CCommandProcessor* /*pcp*/, int msg, long long value) {
  return Report(msg, hostutil::FormatNum64(LoadText(hRes, msg).c_str(), value));
}

short FormatErrorStrEx(HINSTANCE hRes, CCommandProcessor* /*pcp*/, int msg, LPCSTR text) {
  return Report(msg, hostutil::FormatStr(LoadText(hRes, msg).c_str(), text));
}

int GetStringEx(HINSTANCE hRes, LPSTR buf, int size, UINT id) {
  if (!buf || size <= 0) return 0;
  int n = LoadString(hRes, id, buf, size);
  if (n <= 0) {
    buf[0] = '\0';
    return 0;
  }
  return n;
}
