// Parsing and editing of profile text; see ini.h.
#include "ini.h"

#include <strings.h>

namespace platform::detail {

namespace {

constexpr size_t npos = std::string::npos;

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool HeaderName(const std::string& line, std::string& name) {
  size_t b = line.find_first_not_of(" \t");
  if (b == npos || line[b] != '[') return false;
  size_t e = line.find(']', b);
  name = Trim(line.substr(b + 1, e == npos ? npos : e - b - 1));
  return true;
}

// Lines starting with ';' are comments; lines without '=' name nothing.
bool KeyOf(const std::string& line, std::string& key, std::string* value = nullptr) {
  size_t b = line.find_first_not_of(" \t");
  if (b == npos || line[b] == ';' || line[b] == '[') return false;
  size_t eq = line.find('=');
  if (eq == npos) return false;
  key = Trim(line.substr(0, eq));
  if (value) *value = Trim(line.substr(eq + 1));
  return !key.empty();
}

}  // namespace

IniText::IniText(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    size_t nl = bytes.find('\n', i);
    size_t end = nl == npos ? bytes.size() : nl;
    std::string line = bytes.substr(i, end - i);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(line);
    i = end + 1;
  }
}

size_t IniText::FindSection(const std::string& section, size_t& end) const {
  std::string name;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!HeaderName(lines_[i], name) || !SameName(name, section)) continue;
    end = i + 1;
    while (end < lines_.size() && !HeaderName(lines_[end], name)) ++end;
    return i;
  }
  end = lines_.size();
  return npos;
}

size_t IniText::FindKey(size_t begin, size_t end, const std::string& key) const {
  std::string k;
  for (size_t i = begin; i < end; ++i)
    if (KeyOf(lines_[i], k) && SameName(k, key)) return i;
  return npos;
}

bool IniText::Get(const std::string& section, const std::string& key, std::string& value) const {
  size_t end;
  size_t s = FindSection(section, end);
  if (s == npos) return false;
  size_t k = FindKey(s + 1, end, key);
  if (k == npos) return false;
  std::string name;
  return KeyOf(lines_[k], name, &value);
}

std::vector<std::string> IniText::Sections() const {
  std::vector<std::string> out;
  std::string name;
  for (const auto& line : lines_) {
    if (!HeaderName(line, name)) continue;
    bool seen = false;
    for (const auto& o : out) seen = seen || SameName(o, name);
    if (!seen) out.push_back(name);
  }
  return out;
}

std::vector<std::string> IniText::Keys(const std::string& section) const {
  std::vector<std::string> out;
  size_t end;
  size_t s = FindSection(section, end);
  if (s == npos) return out;
  std::string key;
  for (size_t i = s + 1; i < end; ++i) {
    if (!KeyOf(lines_[i], key)) continue;
    bool seen = false;
    for (const auto& o : out) seen = seen || SameName(o, key);
    if (!seen) out.push_back(key);
  }
  return out;
}

bool IniText::Set(const std::string& section, const std::string& key, const std::string& value) {
  size_t end;
  size_t s = FindSection(section, end);
  if (s == npos) {
    // A new section goes at the end, set off by a blank line.
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + section + "]");
    lines_.push_back(key + "=" + value);
    return true;
  }
  size_t k = FindKey(s + 1, end, key);
  if (k != npos) {
    std::string name;
    KeyOf(lines_[k], name);  // the file's own spelling of the key is kept
    std::string line = name + "=" + value;
    if (lines_[k] == line) return false;
    lines_[k] = line;
    return true;
  }
  // A new key follows the section's last non-blank line.
  size_t at = end;
  while (at > s + 1 && Trim(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<long>(at), key + "=" + value);
  return true;
}

bool IniText::DeleteKey(const std::string& section, const std::string& key) {
  size_t end;
  size_t s = FindSection(section, end);
  if (s == npos) return false;
  bool changed = false;
  for (size_t k; (k = FindKey(s + 1, end, key)) != npos; --end) {
    lines_.erase(lines_.begin() + static_cast<long>(k));
    changed = true;
  }
  return changed;
}

bool IniText::DeleteSection(const std::string& section) {
  bool changed = false;
  for (size_t end, s; (s = FindSection(section, end)) != npos;) {
    lines_.erase(lines_.begin() + static_cast<long>(s), lines_.begin() + static_cast<long>(end));
    changed = true;
  }
  return changed;
}

bool IniText::ReplaceSection(const std::string& section, const std::vector<std::string>& lines) {
  size_t end;
  size_t s = FindSection(section, end);
  if (s == npos) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + section + "]");
    lines_.insert(lines_.end(), lines.begin(), lines.end());
    return true;
  }
  size_t bodyEnd = end;
  while (bodyEnd > s + 1 && Trim(lines_[bodyEnd - 1]).empty()) --bodyEnd;
  if (std::vector<std::string>(lines_.begin() + static_cast<long>(s + 1),
                               lines_.begin() + static_cast<long>(bodyEnd)) == lines)
    return false;
  lines_.erase(lines_.begin() + static_cast<long>(s + 1),
               lines_.begin() + static_cast<long>(bodyEnd));
  lines_.insert(lines_.begin() + static_cast<long>(s + 1), lines.begin(), lines.end());
  return true;
}

std::string IniText::Serialise() const {
  std::string out;
  for (const auto& line : lines_) out += line + "\r\n";
  return out;
}

}  // namespace platform::detail
