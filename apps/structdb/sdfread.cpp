#include "sdfread.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

#include "convert/molimport.h"
#include "core/textlines.h"
#include "database/fileio.h"
#include "keytext.h"
#include "resources/resource.h"

namespace {

// Lines are read whole up to this length; the MOL reader keeps less of them
// anyway, and a data value cut here is too long to be a key.
constexpr int kLine = 1024;
// The molblock's header: name, program, comment, counts.
constexpr int kHeaderLines = 4;

bool IsBlankLine(const char* line) {
  for (; *line; ++line)
    if (*line != ' ' && *line != '\t') return false;
  return true;
}

// "$$$$", blanks after it allowed.
bool IsDelimiter(const char* line, bool cut) {
  return !cut && std::strncmp(line, "$$$$", 4) == 0 && IsBlankLine(line + 4);
}

// The lines of an SD file, one section (a molblock and its data items, up to
// a "$$$$" line or the end of the file) at a time. The header lines of each
// section are read ahead, so that sections of blank lines only (after the
// last "$$$$", say) are told from structures.
class CSdLines : public CMolLines {
 public:
  explicit CSdLines(HANDLE h) : reader_(h) {}
  bool IsReady() const { return reader_.IsReady(); }

  // Moves to the next section that holds any line; false at the end of the
  // file or when a read failed.
  bool NextSection() {
    if (inSection_)
      while (Next(nullptr)) {
      }
    inSection_ = true;
    atoms_.clear();
    blockLine_ = nAtoms_ = 0;
    for (;;) {
      if (fileEnd_) return false;
      sectionEnd_ = false;
      nHead_ = iHead_ = 0;
      while (nHead_ < kHeaderLines && Raw()) {
        std::memcpy(head_[nHead_], line_, sizeof line_);
        headCut_[nHead_++] = cut_;
      }
      if (nHead_ > 0) return true;
    }
  }
  // True when the molblock's first line (its title) is blank.
  bool TitleIsBlank() const { return nHead_ > 0 && IsBlankLine(head_[0]); }
  // True when the section's header lines are all blank: no molblock.
  bool HeaderIsBlank() const {
    for (int k = 0; k < nHead_; ++k)
      if (!IsBlankLine(head_[k])) return false;
    return true;
  }
  // The section's next line (null at its end); *cut tells whether it was
  // longer than kLine - 1 characters.
  const char* Next(bool* cut) {
    if (iHead_ < nHead_) {
      if (cut) *cut = headCut_[iHead_];
      return head_[iHead_++];
    }
    if (!Raw()) return nullptr;
    if (cut) *cut = cut_;
    return line_;
  }
  int ReadLine(char* buf, int capacity) override {
    if (capacity <= 0) return -1;
    const char* line = Next(nullptr);
    if (!line) {
      buf[0] = 0;
      return -1;
    }
    NoteAtom(line);
    const int n = std::min(static_cast<int>(std::strlen(line)), capacity - 1);
    std::memcpy(buf, line, static_cast<size_t>(n));
    buf[n] = 0;
    return n;
  }
  // The atom block's coordinates as written (x and y fields), as the reader
  // went through it: alias lines after the molblock name atoms by number.
  const std::vector<std::pair<std::string, std::string>>& Atoms() const { return atoms_; }
  bool ReadFailed() const { return failed_; }
  long long Consumed() const { return reader_.Consumed(); }

 private:
  // The next line of the file into line_, unless the section has ended;
  // false at the section's end.
  bool Raw() {
    if (sectionEnd_) return false;
    const int got = reader_.ReadLine(line_, kLine);
    cut_ = reader_.WasCut();
    if (got == CTextLineReader::kError) failed_ = true;
    if (got < 0) fileEnd_ = true;
    if (got < 0 || IsDelimiter(line_, cut_)) {
      sectionEnd_ = true;
      return false;
    }
    return true;
  }

  // Line 4 of a molblock is its counts line; the atoms follow it.
  void NoteAtom(const char* line) {
    const long long k = blockLine_++;
    if (k == 3) {
      nAtoms_ = std::atoi(std::string(line, strnlen(line, 3)).c_str());
    } else if (k > 3 && k - 4 < nAtoms_ && std::strlen(line) >= 20) {
      atoms_.emplace_back(std::string(line, 10), std::string(line + 10, 10));
    }
  }

  std::vector<std::pair<std::string, std::string>> atoms_;
  long long blockLine_ = 0;
  long long nAtoms_ = 0;
  CTextLineReader reader_;
  char line_[kLine] = {};
  bool cut_ = false;
  char head_[kHeaderLines][kLine] = {};
  bool headCut_[kHeaderLines] = {};
  int nHead_ = 0, iHead_ = 0;
  bool inSection_ = false, sectionEnd_ = false, fileEnd_ = false, failed_ = false;
};

// The data item holding the key: "> <NAME>" or any header line starting
// with ">" whose first <...> is the name; its value is the line after it.
struct KeyItem {
  bool found = false;
  bool cut = false;
  std::string value;
};

// What a molblock cannot carry, from the data items the export writes:
// "STRUCT_CIRCLES" (one "x y" a line) and "STRUCT_LABELS" (one "n x y text" a
// line, n the label's place from 1), coordinates in MOL units.
struct ExtraItems {
  std::vector<std::string> circles, labels;
  std::vector<std::pair<long, std::string>> aliases;  // "A  nnn" lines: atom, text
  const std::vector<std::pair<std::string, std::string>>* atoms = nullptr;
  bool noTitle = false;  // a molblock of an SD file without a title has no name
};

// A MOL coordinate in structure units, exactly as the MOL reader converts
// one (y turned over with sign -1).
LONG MolToUnits(const char* text, double sign) {
  return TruncToLong(sign * std::atof(text) * 2000.0 / 75.0);
}

// Adds the circles and the labels of the items to s; false when a line does
// not read.
bool ApplyExtras(const ExtraItems& extra, StdStructure& s) {
  // An alias names its atom's label: it replaces the label the reader made
  // there, or is the label of an atom the reader left bare (carbon).
  for (const auto& [atom, text] : extra.aliases) {
    if (!extra.atoms || atom < 1 || static_cast<size_t>(atom) > extra.atoms->size()) return false;
    const auto& [x, y] = (*extra.atoms)[static_cast<size_t>(atom) - 1];
    const POINT p{MolToUnits(x.c_str(), 1.0), MolToUnits(y.c_str(), -1.0)};
    auto at = std::find_if(s.labels.begin(), s.labels.end(),
                           [&](const StdLabel& l) { return l.pt.x == p.x && l.pt.y == p.y; });
    if (at != s.labels.end()) {
      at->text = text;
    } else {
      const size_t place = std::min<size_t>(static_cast<size_t>(atom) - 1, s.labels.size());
      s.labels.insert(s.labels.begin() + static_cast<std::ptrdiff_t>(place), StdLabel{p, text});
    }
  }
  for (const std::string& line : extra.circles) {
    char x[64], y[64];
    if (std::sscanf(line.c_str(), "%63s %63s", x, y) != 2) return false;
    s.circles.push_back(POINT{MolToUnits(x, 1.0), MolToUnits(y, -1.0)});
  }
  for (const std::string& line : extra.labels) {
    long place = 0;
    char x[64], y[64];
    int used = 0;
    if (std::sscanf(line.c_str(), "%ld %63s %63s%n", &place, x, y, &used) != 3 || place < 1)
      return false;
    // The text is everything after the one blank that follows y.
    const std::string text = static_cast<size_t>(used) < line.size() ? line.substr(used + 1) : "";
    const size_t at = std::min<size_t>(static_cast<size_t>(place) - 1, s.labels.size());
    s.labels.insert(s.labels.begin() + static_cast<std::ptrdiff_t>(at),
                    StdLabel{POINT{MolToUnits(x, 1.0), MolToUnits(y, -1.0)}, text});
  }
  return true;
}

// The name in a data header line ("" when it has none).
std::string FieldName(const char* line) {
  const char* open = std::strchr(line, '<');
  const char* close = open ? std::strchr(open + 1, '>') : nullptr;
  return close ? std::string(open + 1, close) : std::string();
}

// The molblock's record, refused or not, with its key, to the run.
void TakeRecord(CBuildRun& run, const std::string& file, long long number, short status,
                CSDRAWREC* rec, const KeyItem* item, const ExtraItems* extra = nullptr) {
  if (!rec) {
    const char* why = status == IDS_ERR_MOL3D ? "refused: 3-D coordinates"
                      : status == IDS_ERR_MOLFORMAT
                          ? "refused: not a molblock the MOL reader takes "
                            "(header, counts, atom or bond lines)"
                          : "refused: out of memory";
    return run.Skip(file, number, SkipReason::kRefused, why);
  }
  StdStructure s = StructureFromRecord(rec);
  std::free(rec);
  if (extra && extra->noTitle) s.name.clear();
  if (extra && !ApplyExtras(*extra, s))
    return run.Skip(file, number, SkipReason::kRefused,
                    "refused: a STRUCT_CIRCLES or STRUCT_LABELS line does not read");
  const BuildOptions& o = run.options();
  if (!o.numbered && o.keyField.empty() && s.lKey <= 0)
    return run.Skip(file, number, SkipReason::kNoKey, "no CAS number on its third line");
  if (!o.numbered && !o.keyField.empty()) {
    const std::string field = "<" + o.keyField + ">";
    if (!item || !item->found)
      return run.Skip(file, number, SkipReason::kNoKey, "no " + field + " data item");
    if (item->cut)
      return run.Skip(file, number, SkipReason::kMalformedKey,
                      "malformed key in " + field + " " + QuotedForMessage(item->value));
    LONG key = 0;
    const KeyText k = ParseKeyText(run.info(), item->value, &key);
    if (k == KeyText::kMissing)
      return run.Skip(file, number, SkipReason::kNoKey, "empty " + field + " data item");
    if (k != KeyText::kOk) {
      const SkipReason reason = k == KeyText::kCheckDigit   ? SkipReason::kCheckDigit
                                : k == KeyText::kOutOfRange ? SkipReason::kKeyOutOfRange
                                                            : SkipReason::kMalformedKey;
      return run.Skip(
          file, number, reason,
          std::string(KeyTextProblem(k)) + " in " + field + " " + QuotedForMessage(item->value));
    }
    s.lKey = key;
  }
  run.Take(file, number, std::move(s));
}

}  // namespace

bool IsMolPath(const std::string& path) {
  return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".mol") == 0;
}

void ReadSdFile(CBuildRun& run, const std::string& path, long long bytesBefore) {
  HANDLE h = OpenForReading(path.c_str());
  if (h == INVALID_HANDLE_VALUE) return run.FileProblem(path, "cannot open");
  CSdLines lines(h);
  const std::string& field = run.options().keyField;
  long long number = 0;
  while (lines.IsReady() && run.Going() && lines.NextSection()) {
    if (lines.HeaderIsBlank()) {
      // Blank lines alone are no structure; anything after blank header
      // lines is a molblock without its header.
      bool any = false;
      while (const char* line = lines.Next(nullptr)) any = any || !IsBlankLine(line);
      if (any)
        run.Skip(path, ++number, SkipReason::kRefused,
                 "refused: no molblock header (its first four lines are blank)");
      continue;
    }
    ++number;
    ExtraItems extra;
    extra.noTitle = lines.TitleIsBlank();
    CSDRAWREC* rec = nullptr;
    short status;
    {
      CQuietReports quiet(true);
      status = MolBlockToStructure(run.pcp(), run.info(), path.c_str(), lines, &rec);
    }
    // The data items: a header line, then value lines up to a blank line.
    KeyItem item;
    std::vector<std::string>* extraLines = nullptr;
    bool inItem = false, cut = false;
    bool inBlock = true;  // the molblock's property lines, up to "M  END"
    extra.atoms = &lines.Atoms();
    while (const char* line = lines.Next(&cut)) {
      if (inItem) {
        inItem = !IsBlankLine(line);
        if (inItem && extraLines) extraLines->push_back(line);
        continue;
      }
      if (inBlock && std::strncmp(line, "M  END", 6) == 0) inBlock = false;
      if (inBlock && std::strncmp(line, "A  ", 3) == 0) {
        const long atom = std::atol(line + 3);
        const char* text = lines.Next(&cut);
        if (!text) break;
        extra.aliases.emplace_back(atom, text);
        continue;
      }
      if (line[0] != '>') continue;
      inItem = true;
      const std::string name = FieldName(line);
      extraLines = name == "STRUCT_CIRCLES" ? &extra.circles
                   : name == "STRUCT_LABELS" ? &extra.labels
                                             : nullptr;
      if (item.found || field.empty() || FieldName(line) != field) continue;
      item.found = true;
      if (const char* value = lines.Next(&cut)) {
        item.value = value;
        item.cut = cut;
        inItem = !IsBlankLine(value);
      } else {
        inItem = false;
      }
    }
    TakeRecord(run, path, number, status, rec, &item, &extra);
    run.Progress(bytesBefore + lines.Consumed());
  }
  if (!lines.IsReady()) run.FileProblem(path, "out of memory");
  if (lines.ReadFailed())
    run.FileProblem(path, "read failed after structure " + std::to_string(number));
  CloseHandle(h);
}

void ReadMolInput(CBuildRun& run, const std::string& path) {
  CSDRAWREC* rec = nullptr;
  short status;
  {
    CQuietReports quiet(true);
    status = MolToStructure(run.pcp(), run.info(), path.c_str(), &rec);
  }
  if (!rec && status == IDS_ERR_OPENFILE) return run.FileProblem(path, "cannot open");
  TakeRecord(run, path, 1, status, rec, nullptr);
}
