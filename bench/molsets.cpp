#include "molsets.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace bench {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A V2000 atom line with x and y (columns 1-10 and 11-20) moved by up to
// jitter each; the rest of the line is kept as it was.
std::string MoveAtom(const std::string& line, std::mt19937& rng, double jitter) {
  if (line.size() < 31) return line;
  std::uniform_real_distribution<double> d(-jitter, jitter);
  const double x = std::atof(line.substr(0, 10).c_str()) + d(rng);
  const double y = std::atof(line.substr(10, 10).c_str()) + d(rng);
  char head[32];
  std::snprintf(head, sizeof head, "%10.4f%10.4f", x, y);
  return head + line.substr(20);
}

struct Generated {
  MolSet set;
  std::string dir;
  ~Generated() {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
};

}  // namespace

const MolSet& SampleSet() {
  static const MolSet set = [] {
    MolSet s{"sample", {}};
    for (const auto& e : std::filesystem::directory_iterator(std::string(SAMPLE_DIR) + "/molecules"))
      if (e.path().extension() == ".mol") s.files.push_back(e.path().string());
    std::sort(s.files.begin(), s.files.end());
    return s;
  }();
  return set;
}

const MolSet& GeneratedSet() {
  static Generated g = [] {
    Generated out;
    out.set.name = "generated";
    long count = 10000;
    if (const char* v = std::getenv("STRUCT_BENCH_GENERATED"); v && std::atol(v) > 0)
      count = std::atol(v);
    char tmpl[] = "/tmp/structbench-mols-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    out.dir = tmpl;
    const auto& samples = SampleSet().files;
    std::vector<std::vector<std::string>> sources;
    for (const auto& f : samples) sources.push_back(ReadLines(f));
    std::mt19937 rng(20240601);
    for (long i = 0; i < count; ++i) {
      const size_t k = static_cast<size_t>(i) % samples.size();
      const long variant = i / static_cast<long>(samples.size()) + 1;
      std::vector<std::string> lines = sources[k];
      if (lines.size() < 4) continue;
      // The name stays within the 49 characters every reader keeps.
      lines[0] = lines[0].substr(0, 36) + " variant " + std::to_string(variant);
      const int nAtoms = std::atoi(lines[3].substr(0, 3).c_str());
      for (int a = 0; a < nAtoms && 4 + static_cast<size_t>(a) < lines.size(); ++a)
        lines[4 + a] = MoveAtom(lines[4 + a], rng, 0.03);
      const std::string stem = std::filesystem::path(samples[k]).stem().string();
      const std::string path = out.dir + "/" + stem + "-v" + std::to_string(variant) + ".mol";
      std::ofstream f(path, std::ios::binary);
      for (const auto& l : lines) f << l << '\n';
      if (!f.flush()) std::abort();
      out.set.files.push_back(path);
    }
    return out;
  }();
  return g.set;
}

}  // namespace bench
