// The text of a profile (INI) file as lines, with the lookups and edits the
// profile functions need. Reads lines ended by CR LF or LF, matches section
// and key names without regard to case (the first occurrence wins), and
// writes every line ended by CR LF. Pure text: no files are touched here.
#pragma once

#include <string>
#include <vector>

namespace platform::detail {

class IniText {
 public:
  explicit IniText(const std::string& bytes);

  // The value of key in section, trimmed; false when there is none.
  bool Get(const std::string& section, const std::string& key, std::string& value) const;
  // Section names in file order, each once.
  std::vector<std::string> Sections() const;
  // Key names of the first section so named, in file order, each once.
  std::vector<std::string> Keys(const std::string& section) const;

  // Each returns whether the text changed.
  bool Set(const std::string& section, const std::string& key, const std::string& value);
  bool DeleteKey(const std::string& section, const std::string& key);
  bool DeleteSection(const std::string& section);
  // The body of the first section so named becomes lines (made when there is
  // none); blank lines that set it off from the next section stay.
  bool ReplaceSection(const std::string& section, const std::vector<std::string>& lines);

  std::string Serialise() const;

 private:
  // Index of the first header of section, or npos; end receives the index
  // of the line after the section's last line.
  size_t FindSection(const std::string& section, size_t& end) const;
  size_t FindKey(size_t begin, size_t end, const std::string& key) const;

  std::vector<std::string> lines_;
};

}  // namespace platform::detail
