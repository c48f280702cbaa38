// The common dialogs, answered by the interaction driver. Each takes its
// answer ("file PATH", "color R G B", "font FACE POINTS WEIGHT ITALIC"),
// "cancel" or "dump" (the dialog on stdout); anything else is ignored, and
// with nothing queued the dialog is cancelled. An answer the real dialog
// would refuse (a file that must exist and does not, a colour component or a
// font size out of range) is refused with the dialog's message, and the
// dialog goes on.
#include <commdlg.h>
#include <platform/env.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD s_lastError = 0;

// CDERR_INITIALIZATION: the dialog could not be set up from the structure.
constexpr DWORD kInitializationError = 0x0002;
// FNERR_BUFFERTOOSMALL: the buffer is too small for the name.
constexpr DWORD kBufferTooSmall = 0x3003;

struct Word {
  size_t begin, end;
};

std::vector<Word> SplitWords(const std::string& line) {
  std::vector<Word> words;
  size_t i = 0;
  while (true) {
    i = line.find_first_not_of(" \t", i);
    if (i == std::string::npos) break;
    size_t end = line.find_first_of(" \t", i);
    if (end == std::string::npos) end = line.size();
    words.push_back({i, end});
    i = end;
  }
  return words;
}

std::string Text(const std::string& line, const Word& w) {
  return line.substr(w.begin, w.end - w.begin);
}

// A whole decimal number filling the text, within lo..hi.
bool ParseInt(const std::string& text, int lo, int hi, int& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  int v = 0;
  auto [end, ec] = std::from_chars(first, last, v);
  if (text.empty() || ec != std::errc() || end != last || v < lo || v > hi) return false;
  value = v;
  return true;
}

void DumpOpen(const OPENFILENAME* ofn) {
  std::printf("dialog open \"%s\"\n", ofn->lpstrTitle ? ofn->lpstrTitle : "Open");
  int n = 0;
  for (const char* p = ofn->lpstrFilter; p && *p;) {
    const char* name = p;
    p += std::strlen(p) + 1;
    const char* pattern = p;
    p += std::strlen(p) + 1;
    std::printf("  item %d: %s (%s)\n", n++, name, pattern);
  }
  std::fflush(stdout);
}

// A name typed without a root or a drive is in the folder the prompt opened
// on, not in the process's current directory.
std::string InInitialDir(const OPENFILENAME* ofn, const std::string& path) {
  const char* dir = ofn->lpstrInitialDir;
  bool rooted =
      path.empty() || path[0] == '/' || path[0] == '\\' ||
      (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':');
  if (rooted || !dir || !*dir) return path;
  std::string joined = dir;
  if (joined.back() != '\\' && joined.back() != '/')
    joined += joined.find('\\') != std::string::npos ? '\\' : '/';
  return joined + path;
}

void PrintRGB(const char* label, COLORREF c) {
  std::printf("  %s: %d %d %d\n", label, GetRValue(c), GetGValue(c), GetBValue(c));
}

void DumpColor(const CHOOSECOLOR* cc) {
  std::printf("dialog color \"Color\"\n");
  PrintRGB("rgb", cc->Flags & CC_RGBINIT ? cc->rgbResult : 0);
  for (int i = 0; cc->lpCustColors && i < 16; ++i)
    PrintRGB(("custom " + std::to_string(i)).c_str(), cc->lpCustColors[i]);
  std::fflush(stdout);
}

void DumpFont(const CHOOSEFONT* cf) {
  // Without CF_INITTOLOGFONTSTRUCT the chooser does not start from the font.
  LOGFONT start = {};
  if (cf->Flags & CF_INITTOLOGFONTSTRUCT) start = *cf->lpLogFont;
  std::printf("dialog font \"Font\"\n");
  std::printf("  face: %.*s\n", static_cast<int>(strnlen(start.lfFaceName, LF_FACESIZE)),
              start.lfFaceName);
  std::printf("  size: %d\n", cf->iPointSize / 10);
  std::printf("  weight: %ld\n", static_cast<long>(start.lfWeight));
  std::printf("  italic: %d\n", start.lfItalic);
  std::fflush(stdout);
}

// What one scripted line did to a prompt: nothing it fits (reported as
// ignored), refused with a message (the prompt goes on), a choice made, or a
// failure that ends the prompt as cancelled.
enum class Answer { Ignored, Refused, Chosen, Failed };

// The loop every common dialog runs: "cancel" and nothing queued cancel,
// "dump" lists the prompt, any other line goes to take.
template <class Dump, class Take>
BOOL RunPrompt(Dump dump, Take take) {
  std::string action;
  while (platform::NextAction(action)) {
    if (action == "cancel") return FALSE;
    if (action == "dump") {
      dump();
      continue;
    }
    switch (take(action)) {
      case Answer::Chosen:
        return TRUE;
      case Answer::Failed:
        return FALSE;
      case Answer::Ignored:
        platform::GetConsole().ignoredAnswer(action);
        break;
      case Answer::Refused:
        break;
    }
  }
  return FALSE;
}

Answer TakeFont(CHOOSEFONT* cf, const std::string& line) {
  std::vector<Word> words = SplitWords(line);
  size_t n = words.size();
  auto word = [&](size_t i) { return Text(line, words[i]); };
  if (n < 5 || word(0) != "font") return Answer::Ignored;
  int weight = 0, italic = 0;
  if (!ParseInt(word(n - 2), 0, 1000, weight) || !ParseInt(word(n - 1), 0, 1, italic))
    return Answer::Ignored;
  std::string face = line.substr(words[1].begin, words[n - 4].end - words[1].begin);
  int points = 0;
  // iPointSize holds tenths of a point in an INT.
  if (!ParseInt(word(n - 3), 1, INT_MAX / 10, points)) {
    platform::GetConsole().message("Size must be a number.");
    return Answer::Refused;
  }
  if ((cf->Flags & CF_LIMITSIZE) && (points < cf->nSizeMin || points > cf->nSizeMax)) {
    platform::GetConsole().message("Size must be between " + std::to_string(cf->nSizeMin) +
                                   " and " + std::to_string(cf->nSizeMax) + " points.");
    return Answer::Refused;
  }
  LOGFONT lf = {};
  // Points to pixels at 96 per inch, to the nearest pixel; negative for the
  // character height rather than the cell height.
  lf.lfHeight = -static_cast<LONG>((static_cast<long long>(points) * 96 * 2 + 72) / 144);
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  std::memcpy(lf.lfFaceName, face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
  *cf->lpLogFont = lf;
  cf->iPointSize = points * 10;
  cf->nFontType =
      static_cast<WORD>(SCREEN_FONTTYPE | (weight >= FW_BOLD ? BOLD_FONTTYPE : REGULAR_FONTTYPE) |
                        (italic ? ITALIC_FONTTYPE : 0));
  return Answer::Chosen;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) {
  s_lastError = 0;
  return RunPrompt(
      [&] { DumpOpen(ofn); },
      [&](const std::string& action) {
        if (action.rfind("file ", 0) != 0) return Answer::Ignored;
        std::string path = InInitialDir(ofn, action.substr(5));
        DWORD attrs = GetFileAttributes(path.c_str());
        if ((ofn->Flags & OFN_FILEMUSTEXIST) &&
            (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY))) {
          platform::GetConsole().message(path + "\nFile not found.");
          return Answer::Refused;
        }
        if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile) {
          s_lastError = kBufferTooSmall;
          return Answer::Failed;
        }
        std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
        size_t slash = path.find_last_of("\\/");
        ofn->nFileOffset = static_cast<WORD>(slash == std::string::npos ? 0 : slash + 1);
        size_t dot = path.rfind('.');
        ofn->nFileExtension =
            static_cast<WORD>(dot == std::string::npos || dot < ofn->nFileOffset ? 0 : dot + 1);
        return Answer::Chosen;
      });
}

BOOL ChooseColor(CHOOSECOLOR* cc) {
  s_lastError = 0;
  if (!cc) {
    s_lastError = kInitializationError;
    return FALSE;
  }
  return RunPrompt([&] { DumpColor(cc); },
                   [&](const std::string& action) {
                     std::vector<Word> words = SplitWords(action);
                     if (words.empty() || Text(action, words[0]) != "color") return Answer::Ignored;
                     int rgb[3] = {};
                     bool good = words.size() == 4;
                     for (size_t i = 0; good && i < 3; ++i)
                       good = ParseInt(Text(action, words[i + 1]), 0, 255, rgb[i]);
                     if (!good) {
                       platform::GetConsole().message("Enter a value between 0 and 255.");
                       return Answer::Refused;
                     }
                     cc->rgbResult = RGB(rgb[0], rgb[1], rgb[2]);
                     return Answer::Chosen;
                   });
}

BOOL ChooseFont(CHOOSEFONT* cf) {
  s_lastError = 0;
  if (!cf || !cf->lpLogFont) {
    s_lastError = kInitializationError;
    return FALSE;
  }
  return RunPrompt([&] { DumpFont(cf); },
                   [&](const std::string& action) { return TakeFont(cf, action); });
}

DWORD CommDlgExtendedError() { return s_lastError; }
