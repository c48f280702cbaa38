// The plug-in's folders stand in one order, bottom to top: a file includes
// only its own folder and folders below it. The order is the build's own list
// (STRUCT_FOLDERS in struct/CMakeLists.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct SourceFile {
  std::string path;  // relative to struct/, e.g. "database/userlib.h"
  std::vector<std::string> includes;
};

std::vector<std::string> Split(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string word; in >> word;) out.push_back(word);
  return out;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find('/')); }

// One line per include that reaches above its folder, and per folder that
// has no place in the order.
std::vector<std::string> LayerViolations(const std::vector<std::string>& order,
                                         const std::vector<SourceFile>& files) {
  std::map<std::string, size_t> rank;
  for (size_t i = 0; i < order.size(); ++i) rank[order[i]] = i;
  std::vector<std::string> out;
  for (const SourceFile& f : files) {
    const std::string folder = FolderOf(f.path);
    if (!rank.count(folder)) {
      out.push_back(f.path + ": folder " + folder + " has no place in the order");
      continue;
    }
    for (const std::string& inc : f.includes) {
      if (inc.find('/') == std::string::npos) continue;  // beside the file
      const std::string target = FolderOf(inc);
      if (rank.count(target) && rank[target] > rank[folder])
        out.push_back(f.path + " includes " + inc + " (" + target + " is above " + folder + ")");
    }
  }
  return out;
}

std::vector<SourceFile> ReadTree(const fs::path& root) {
  static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<SourceFile> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    SourceFile f{fs::relative(entry.path(), root).generic_string(), {}};
    std::ifstream in(entry.path());
    std::smatch m;
    for (std::string line; std::getline(in, line);)
      if (std::regex_search(line, m, kInclude)) f.includes.push_back(m[1]);
    files.push_back(f);
  }
  std::sort(files.begin(), files.end(),
            [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
  return files;
}

TEST(Layering, NoFolderIncludesOneAboveIt) {
  const std::vector<std::string> order = Split(STRUCT_LAYERS);
  ASSERT_GE(order.size(), 2u);
  const auto files = ReadTree(STRUCT_SOURCE_DIR);
  ASSERT_GT(files.size(), 20u) << "the plug-in's sources were not found";
  const auto violations = LayerViolations(order, files);
  std::string report;
  for (const auto& v : violations) report += v + "\n";
  EXPECT_TRUE(violations.empty()) << report;
}

TEST(Layering, TheCheckSeesUpwardIncludesAndFoldersOutOfOrder) {
  const std::vector<std::string> order{"core", "database", "render"};
  const std::vector<SourceFile> files{
      {"database/lookup.cpp", {"database/lookup.h", "core/common.h", "lookup.h", "cmdproc.h"}},
      {"database/userlib.h", {"render/draw.h"}},
      {"widgets/w.cpp", {"core/common.h"}},
  };
  EXPECT_EQ(LayerViolations(order, files),
            (std::vector<std::string>{
                "database/userlib.h includes render/draw.h (render is above database)",
                "widgets/w.cpp: folder widgets has no place in the order"}));
}

}  // namespace
