#include "database/stdwriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include "database/fileio.h"
#include "database/labels.h"
#include "database/libpath.h"
#include "database/lookup.h"
#include "database/packed.h"

namespace {

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

constexpr size_t kMaxBody = 0xFFFF;

// Large values take long runs of continuation bytes: the room is made first.
// A run that would carry the body past what a record holds is not written:
// the body is left one byte over the limit, so far coordinates are refused
// without first taking megabytes each.
void PutPacked(std::vector<BYTE>& out, LONG v) {
  const size_t at = out.size();
  const size_t cb = static_cast<size_t>(PackedSize(v));
  if (at + cb > kMaxBody) {
    out.resize(std::max(at, kMaxBody + 1));
    return;
  }
  out.resize(at + cb);
  WritePackedValues(&v, 1, out.data() + at);
}

// Index of the first endpoint at pt, or -1.
int FindEndpoint(const std::vector<POINT>& endpoints, POINT pt) {
  for (size_t i = 0; i < endpoints.size(); ++i)
    if (SamePoint(endpoints[i], pt)) return static_cast<int>(i);
  return -1;
}

}  // namespace

bool EncodeStandardRecord(const StdStructure& s, std::vector<BYTE>& body, std::string& why) {
  // Order the bonds so that each connected piece starts with one full bond,
  // grows by half bonds (one new atom each) and closes its rings with linked
  // bonds; each group stays in one run as the format requires.
  const size_t n = s.bonds.size();
  std::vector<size_t> full, half, linked;
  std::vector<bool> placed(n, false);
  std::vector<POINT> known;
  auto isKnown = [&](POINT p) { return FindEndpoint(known, p) >= 0; };
  std::vector<std::vector<size_t>> pieces;
  for (size_t seed = 0; seed < n; ++seed) {
    if (placed[seed]) continue;
    std::vector<size_t> piece{seed};
    placed[seed] = true;
    std::vector<POINT> atoms{s.bonds[seed].p1, s.bonds[seed].p2};
    for (bool grew = true; grew;) {
      grew = false;
      for (size_t i = 0; i < n; ++i) {
        if (placed[i]) continue;
        bool a = std::any_of(atoms.begin(), atoms.end(),
                             [&](POINT p) { return SamePoint(p, s.bonds[i].p1); });
        bool b = std::any_of(atoms.begin(), atoms.end(),
                             [&](POINT p) { return SamePoint(p, s.bonds[i].p2); });
        if (!a && !b) continue;
        placed[i] = true;
        piece.push_back(i);
        if (!a) atoms.push_back(s.bonds[i].p1);
        if (!b) atoms.push_back(s.bonds[i].p2);
        grew = true;
      }
    }
    pieces.push_back(piece);
  }
  for (const auto& piece : pieces) {
    full.push_back(piece[0]);
    known.push_back(s.bonds[piece[0]].p1);
    known.push_back(s.bonds[piece[0]].p2);
  }
  for (const auto& piece : pieces)
    for (size_t k = 1; k < piece.size(); ++k) {
      const StdBond& b = s.bonds[piece[k]];
      if (isKnown(b.p1) && isKnown(b.p2)) continue;
      half.push_back(piece[k]);
      known.push_back(isKnown(b.p1) ? b.p2 : b.p1);
    }
  for (const auto& piece : pieces)
    for (size_t k = 1; k < piece.size(); ++k)
      if (std::find(half.begin(), half.end(), piece[k]) == half.end()) linked.push_back(piece[k]);

  if (full.size() > 127 || half.size() > 127 || linked.size() > 127 || s.labels.size() > 127 ||
      s.circles.size() > 127) {
    why = "more than 127 bonds of one kind, labels or circles";
    return false;
  }

  body.clear();
  body.push_back(static_cast<BYTE>(full.size()));
  body.push_back(static_cast<BYTE>(half.size()));
  body.push_back(static_cast<BYTE>(linked.size()));
  body.push_back(static_cast<BYTE>(s.labels.size()));
  body.push_back(static_cast<BYTE>(s.circles.size()));
  std::vector<size_t> order = full;
  order.insert(order.end(), half.begin(), half.end());
  order.insert(order.end(), linked.begin(), linked.end());
  for (size_t i = 0; i < order.size(); i += 4) {
    BYTE b = 0;
    for (size_t k = i; k < order.size() && k < i + 4; ++k)
      b |= static_cast<BYTE>((s.bonds[order[k]].nType & 3) << (2 * (k - i)));
    body.push_back(b);
  }

  std::vector<POINT> endpoints;  // as a reader will rebuild it
  auto ref = [&](POINT p, BYTE* out) {
    int i = FindEndpoint(endpoints, p);
    if (i < 0 || i > 255) return false;
    *out = static_cast<BYTE>(i);
    return true;
  };
  for (size_t i : full) {
    const StdBond& b = s.bonds[i];
    for (LONG v : {b.p1.x, b.p1.y, b.p2.x, b.p2.y}) PutPacked(body, v);
    endpoints.push_back(b.p1);
    endpoints.push_back(b.p2);
  }
  for (size_t i : half) {
    const StdBond& b = s.bonds[i];
    const bool firstKnown = FindEndpoint(endpoints, b.p1) >= 0;
    const POINT fresh = firstKnown ? b.p2 : b.p1;
    const POINT old = firstKnown ? b.p1 : b.p2;
    BYTE r;
    if (!ref(old, &r)) {
      why = "an endpoint reference beyond the first 256 endpoints";
      return false;
    }
    PutPacked(body, fresh.x);
    PutPacked(body, fresh.y);
    body.push_back(r);
    endpoints.push_back(fresh);
    endpoints.push_back(old);
  }
  for (size_t i : linked) {
    BYTE r1, r2;
    if (!ref(s.bonds[i].p1, &r1) || !ref(s.bonds[i].p2, &r2)) {
      why = "an endpoint reference beyond the first 256 endpoints";
      return false;
    }
    body.push_back(r1);
    body.push_back(r2);
    endpoints.push_back(s.bonds[i].p1);
    endpoints.push_back(s.bonds[i].p2);
  }
  for (const StdLabel& label : s.labels) {
    int i = FindEndpoint(endpoints, label.pt);
    if (i >= 0 && i < 255) {
      PutPacked(body, i);
    } else {
      PutPacked(body, 255);
      PutPacked(body, label.pt.x);
      PutPacked(body, label.pt.y);
    }
    int code = FindLabelCode(label.text.c_str());
    if (code >= 0) {
      body.push_back(static_cast<BYTE>(code));
    } else {
      if (static_cast<BYTE>(label.text[0]) < NUM_LABEL_CODES) {
        why = "a label text starting with a control character";
        return false;
      }
      body.insert(body.end(), label.text.begin(), label.text.end());
      body.push_back(0);
    }
  }
  for (const POINT& c : s.circles) {
    PutPacked(body, c.x);
    PutPacked(body, c.y);
  }
  std::string name = s.name.substr(0, CS_NAME_MAX);
  body.insert(body.end(), name.begin(), name.end());
  body.push_back(0);
  if (body.size() > kMaxBody) {
    why = "a record over 65535 bytes";
    return false;
  }
  // A reader expands the record into a drawing record, which must fit too.
  size_t cbLabels = 0;
  for (const StdLabel& label : s.labels) cbLabels += std::strlen(label.text.c_str()) + 1;
  const size_t cbDrawing = CSDRAWREC_HEADER + n + 8 * (2 * n + s.labels.size() + s.circles.size()) +
                           (s.labels.empty() ? 0 : cbLabels + 1);
  if (cbDrawing > CSDRAWREC_MAX) {
    why = "a drawing record over 65535 bytes";
    return false;
  }
  return true;
}

CStdLibraryWriter::CStdLibraryWriter(const std::string& path) : path_(path) {}

CStdLibraryWriter::~CStdLibraryWriter() = default;

bool CStdLibraryWriter::Open(std::string& why) {
  const CString dataPath = DataPathOf(path_.c_str());
  hData_ = files_.Create(dataPath);
  if (hData_ == INVALID_HANDLE_VALUE) {
    why = std::string("cannot create a file beside ") + static_cast<LPCSTR>(dataPath);
    return false;
  }
  pending_.assign(1, 0);  // the library kind: standard
  size_ = 1;
  return true;
}

bool CStdLibraryWriter::Flush(std::string& why) {
  if (!WriteExact(hData_, pending_.data(), static_cast<DWORD>(pending_.size()))) {
    why = "cannot write " + std::string(static_cast<LPCSTR>(DataPathOf(path_.c_str()))) +
          " (the old one is kept)";
    failed_ = true;
    return false;
  }
  pending_.clear();
  return true;
}

CStdLibraryWriter::Result CStdLibraryWriter::Add(const StdStructure& s, std::string& why) {
  if (failed_ || hData_ == INVALID_HANDLE_VALUE) {
    why = "the library is not open for writing";
    return kFailed;
  }
  if (s.lKey != 0 && HasKey(s.lKey)) {
    why = "key " + std::to_string(s.lKey) + " occurs twice";
    return kRepeatedKey;
  }
  if (!EncodeStandardRecord(s, body_, why)) return kNotStorable;
  // Offsets in the index are 32-bit and signed.
  if (size_ + 2 + static_cast<long long>(body_.size()) > 0x7FFFFFFF) {
    why = "the data file would pass 2 GB";
    return kNotStorable;
  }
  if (s.lKey != 0) {
    keys_.insert(s.lKey);
    index_.push_back(INDEXREC{s.lKey, static_cast<LONG>(size_)});
  }
  const WORD cb = static_cast<WORD>(body_.size());
  pending_.push_back(static_cast<BYTE>(cb & 0xFF));
  pending_.push_back(static_cast<BYTE>(cb >> 8));
  pending_.insert(pending_.end(), body_.begin(), body_.end());
  size_ += 2 + static_cast<long long>(body_.size());
  ++count_;
  if (pending_.size() >= kFlushSize && !Flush(why)) return kFailed;
  return kAdded;
}

bool CStdLibraryWriter::Commit(std::string& why) {
  if (failed_ || hData_ == INVALID_HANDLE_VALUE) {
    why = "the library is not open for writing";
    return false;
  }
  if (!Flush(why)) return false;
  std::sort(index_.begin(), index_.end(),
            [](const INDEXREC& a, const INDEXREC& b) { return a.lKey < b.lKey; });
  const CString indexPath = IndexPathOf(path_.c_str());
  HANDLE h = files_.Create(indexPath);
  failed_ = true;  // whatever happens now, the writer is done
  if (h == INVALID_HANDLE_VALUE) {
    why = std::string("cannot create a file beside ") + static_cast<LPCSTR>(indexPath);
    return false;
  }
  if (!WriteExact(h, index_.data(), static_cast<DWORD>(index_.size() * sizeof(INDEXREC)))) {
    why = std::string("cannot write ") + static_cast<LPCSTR>(indexPath) + " (the old one is kept)";
    return false;
  }
  if (!files_.Commit()) {
    why = "cannot put " + path_ + " in place (the old files are kept)";
    return false;
  }
  return true;
}

bool WriteStandardLibrary(const std::string& path, const std::vector<StdStructure>& structures,
                          std::string& why) {
  CStdLibraryWriter writer(path);
  if (!writer.Open(why)) return false;
  for (size_t i = 0; i < structures.size(); ++i) {
    const StdStructure& s = structures[i];
    switch (writer.Add(s, why)) {
      case CStdLibraryWriter::kAdded:
        break;
      case CStdLibraryWriter::kNotStorable:
        why = "structure " + std::to_string(i + 1) + " (" + s.name + "): " + why;
        return false;
      case CStdLibraryWriter::kRepeatedKey:
      case CStdLibraryWriter::kFailed:
        return false;
    }
  }
  return writer.Commit(why);
}

StdStructure StructureFromRecord(const CSDRAWREC* rec) {
  StdStructure s;
  s.lKey = rec->lId;
  s.name = rec->szName;
  const BYTE* types = RecBondTypes(rec);
  for (int i = 0; i < rec->nBonds; ++i)
    s.bonds.push_back(
        StdBond{RecPoint(rec, 2 * i), RecPoint(rec, 2 * i + 1), static_cast<BYTE>(types[i] & 3)});
  const char* text = RecLabels(rec);
  for (int k = 0; k < rec->nLabels; ++k) {
    s.labels.push_back(StdLabel{RecPoint(rec, rec->iFirstLabel + k), text});
    text += std::strlen(text) + 1;
  }
  for (int k = 0; k < rec->nCircles; ++k) s.circles.push_back(RecPoint(rec, rec->iFirstCircle + k));
  return s;
}

void MarkAromaticRings(StdStructure& s) {
  // Atoms by position, bonds as edges between atom numbers.
  std::vector<POINT> atoms;
  auto atomOf = [&](POINT p) {
    int i = FindEndpoint(atoms, p);
    if (i >= 0) return i;
    atoms.push_back(p);
    return static_cast<int>(atoms.size()) - 1;
  };
  std::map<std::pair<int, int>, size_t> edge;
  std::vector<std::vector<int>> adj;
  for (size_t i = 0; i < s.bonds.size(); ++i) {
    int a = atomOf(s.bonds[i].p1), b = atomOf(s.bonds[i].p2);
    if (a == b) continue;
    adj.resize(atoms.size());
    adj[a].push_back(b);
    adj[b].push_back(a);
    edge[{std::min(a, b), std::max(a, b)}] = i;
  }
  adj.resize(atoms.size());
  auto bondOf = [&](int a, int b) { return edge.at({std::min(a, b), std::max(a, b)}); };

  std::set<std::vector<int>> seen;
  std::vector<std::vector<size_t>> rings;
  std::vector<int> path;
  // Simple paths of six atoms from each start that close on the start.
  std::function<void(int)> walk = [&](int a) {
    if (path.size() == 6) {
      if (std::find(adj[a].begin(), adj[a].end(), path[0]) == adj[a].end()) return;
      std::vector<size_t> ring;
      for (size_t k = 0; k < 6; ++k) ring.push_back(bondOf(path[k], path[(k + 1) % 6]));
      bool alternates = true;
      for (size_t k = 0; k < 6; ++k) {
        BYTE t = s.bonds[ring[k]].nType, u = s.bonds[ring[(k + 1) % 6]].nType;
        if (!((t == BOND_SINGLE && u == BOND_DOUBLE) || (t == BOND_DOUBLE && u == BOND_SINGLE)))
          alternates = false;
      }
      std::vector<int> key = path;
      std::sort(key.begin(), key.end());
      if (alternates && seen.insert(key).second) rings.push_back(ring);
      return;
    }
    // Only bonds that keep the path alternating: the search stays small on
    // any structure the record can hold.
    const BYTE prev = s.bonds[bondOf(path[path.size() - 2], a)].nType;
    for (int b : adj[a]) {
      if (std::find(path.begin(), path.end(), b) != path.end()) continue;
      const BYTE t = s.bonds[bondOf(a, b)].nType;
      if (!((t == BOND_SINGLE && prev == BOND_DOUBLE) || (t == BOND_DOUBLE && prev == BOND_SINGLE)))
        continue;
      path.push_back(b);
      walk(b);
      path.pop_back();
    }
  };
  for (int a = 0; a < static_cast<int>(atoms.size()); ++a) {
    path = {a};
    for (int b : adj[a]) {
      const BYTE t = s.bonds[bondOf(a, b)].nType;
      if (t != BOND_SINGLE && t != BOND_DOUBLE) continue;
      path.push_back(b);
      walk(b);
      path.pop_back();
    }
  }
  for (const auto& ring : rings) {
    long long sx = 0, sy = 0;
    for (size_t i : ring) {
      sx += s.bonds[i].p1.x + s.bonds[i].p2.x;
      sy += s.bonds[i].p1.y + s.bonds[i].p2.y;
    }
    s.circles.push_back(POINT{static_cast<LONG>(sx / 12), static_cast<LONG>(sy / 12)});
  }
  for (const auto& ring : rings)
    for (size_t i : ring) s.bonds[i].nType = BOND_AROMATIC;
}
