// "ClipCvt". Each line of the clipboard's text is split at spaces and tabs;
// while a token begins with a digit it is written with the token after it as
// one output line "first<TAB>second<CR><LF>" (the second may be anything, or
// missing). The rest of a line from the first token that is no number is
// dropped, and so is every line that starts with one.
#include "convert/clipcvt.h"

#include <algorithm>
#include <cstring>

#include "convert/entries.h"
#include "core/common.h"

namespace {

// The output block while it is written: locked, and grown as the text needs
// (a pair's output is longer than its input).
struct PAIROUT {
  HGLOBAL hOut;
  char* pOut;
  size_t cbOut;  // bytes in the block
  size_t nLen;   // bytes written
};

BOOL PutText(PAIROUT* out, const char* text, size_t n) {
  // One byte stays free for the terminating NUL.
  if (n >= out->cbOut - out->nLen) {
    const size_t want = std::max(out->cbOut * 2, out->nLen + n + 1);
    GlobalUnlock(out->hOut);
    HGLOBAL grown = GlobalReAlloc(out->hOut, want, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (grown) {
      out->hOut = grown;
      out->cbOut = want;
    }
    out->pOut = static_cast<char*>(GlobalLock(out->hOut));
    if (!grown || !out->pOut) return FALSE;
  }
  std::memcpy(out->pOut + out->nLen, text, n);
  out->nLen += n;
  return TRUE;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// The next token of line[*at, end): its start and length; false when none.
bool NextToken(const char* line, size_t end, size_t* at, const char** tok, size_t* len) {
  size_t i = *at;
  while (i < end && IsBlank(line[i])) ++i;
  if (i == end) return false;
  const size_t start = i;
  while (i < end && !IsBlank(line[i])) ++i;
  *tok = line + start;
  *len = i - start;
  *at = i;
  return true;
}

BOOL ConvertLine(PAIROUT* out, const char* line, size_t end) {
  size_t at = 0;
  const char* tok;
  size_t len;
  bool have = NextToken(line, end, &at, &tok, &len);
  while (have && tok[0] >= '0' && tok[0] <= '9') {
    if (!PutText(out, tok, len) || !PutText(out, "\t", 1)) return FALSE;
    have = NextToken(line, end, &at, &tok, &len);
    if (have && !PutText(out, tok, len)) return FALSE;
    if (!PutText(out, "\r\n", 2)) return FALSE;
    if (have) have = NextToken(line, end, &at, &tok, &len);
  }
  return TRUE;
}

}  // namespace

HGLOBAL ConvertNumberPairs(const char* text, size_t cb) {
  // A first guess; the block grows as the pairs need.
  PAIROUT out{nullptr, nullptr, std::min<size_t>(cb, 1u << 20) + 64, 0};
  out.hOut = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, out.cbOut);
  if (!out.hOut) return nullptr;
  out.pOut = static_cast<char*>(GlobalLock(out.hOut));
  BOOL ok = out.pOut != nullptr;
  size_t at = 0;
  while (ok && at < cb && text[at] != '\0') {
    const size_t start = at;
    while (at < cb && !IsLineEnd(text[at])) ++at;
    const size_t end = at;
    while (at < cb && (text[at] == '\r' || text[at] == '\n')) ++at;
    ok = ConvertLine(&out, text + start, end - start);
  }
  if (out.pOut) GlobalUnlock(out.hOut);
  if (!ok || out.nLen == 0) {
    GlobalFree(out.hOut);
    return nullptr;
  }
  // The block is zero-filled, so the byte after the text is its NUL.
  HGLOBAL shrunk = GlobalReAlloc(out.hOut, out.nLen + 1, GMEM_MOVEABLE);
  return shrunk ? shrunk : out.hOut;
}

STRUCT_COMMAND(ClipboardConvertCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  (void)args;
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  if (IsClipboardFormatAvailable(CF_TEXT) && OpenClipboard(pcp->hwndMain)) {
    HANDLE hText = GetClipboardData(CF_TEXT);
    const char* text = hText ? static_cast<const char*>(GlobalLock(hText)) : nullptr;
    if (text) {
      // A block need not end in a NUL: its size bounds the text.
      HGLOBAL hOut = ConvertNumberPairs(text, GlobalSize(hText));
      GlobalUnlock(hText);
      if (hOut) {
        EmptyClipboard();
        if (!SetClipboardData(CF_TEXT, hOut)) GlobalFree(hOut);
      }
    }
    CloseClipboard();
  }
  SetBusyCursor(pcp, nullptr);
  return 0;
}
