// The libraries the benchmarks build: n small records (a triangle with an OH
// label, its first bond a little longer from record to record) under the keys
// 10000, 10002, ... so that every odd key in between is a miss.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "database/stdwriter.h"

namespace bench {

inline LONG KeyOf(int i) { return 10000 + 2 * i; }

inline std::vector<StdStructure> Structures(int n) {
  std::vector<StdStructure> all(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    StdStructure& s = all[static_cast<size_t>(i)];
    s.lKey = KeyOf(i);
    const LONG d = i % 50;
    s.bonds = {{POINT{0, 0}, POINT{40 + d, 0}, 0},
               {POINT{40 + d, 0}, POINT{60, 35}, 1},
               {POINT{60, 35}, POINT{0, 0}, 0}};
    s.labels = {{POINT{60, 35}, "OH"}};
    s.name = "Compound " + std::to_string(i + 1);
  }
  return all;
}

// A library in use was written a while ago: lookups keep the top of the
// search of an index unchanged for two seconds.
inline void AgeLibrary(const std::string& data, const std::string& index) {
  for (const std::string& f : {data, index})
    std::filesystem::last_write_time(
        f, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
}

// The data file (.sdb) of a library of n records, built and aged once, in a
// temporary directory removed at exit.
inline const std::string& BuiltLibrary(int n) {
  static std::map<int, std::string> paths;
  static struct Cleanup {
    std::vector<std::string> dirs;
    ~Cleanup() {
      for (const auto& d : dirs) std::filesystem::remove_all(d);
    }
  } cleanup;
  auto it = paths.find(n);
  if (it != paths.end()) return it->second;
  char tmpl[] = "/tmp/structbench-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  cleanup.dirs.push_back(dir);
  std::string why;
  if (!WriteStandardLibrary(dir + "/lib.sdb", Structures(n), why)) std::abort();
  AgeLibrary(dir + "/lib.sdb", dir + "/lib.ind");
  return paths[n] = dir + "/lib.sdb";
}

}  // namespace bench
