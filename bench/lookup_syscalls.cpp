// A driver for counting the system calls of one lookup under strace:
//
//   lookup_syscalls ours|floor|block COUNT
//
// writes the index of a 1,000,000-entry library (the keys of bench_lookup) to
// a temporary directory, makes COUNT lookups through FindIndexEntry (ours) or
// the bare POSIX search (floor) or its prototype that reads the last 4 KiB
// in one call (block), and removes the directory. Running it with
// COUNT 0 and COUNT N under `strace -c -f` and subtracting gives the calls per
// lookup. `lookup_syscalls check` instead compares the three searches on
// 100,000 keys and fails when any result differs.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "apps/structdb/quietproc.h"
#include "core/common.h"
#include "database/lookup.h"
#include "benchlib.h"
#include "posix_lookup.h"

namespace {

constexpr int kRecords = 1000000;
using bench::KeyOf;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "check") != 0 && argc < 3)) {
    std::fprintf(stderr, "usage: lookup_syscalls ours|floor|block COUNT | check\n");
    return 2;
  }
  const std::string mode = argv[1];
  const long count = mode == "check" ? 100000 : std::atol(argv[2]);

  char tmpl[] = "/tmp/structbench-sys-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl, data = dir + "/big.sdb", index = dir + "/big.ind";
  {
    std::vector<INDEXREC> entries(kRecords);
    for (int i = 0; i < kRecords; ++i) entries[i] = {KeyOf(i), i + 1};
    const int fd = open(index.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const ssize_t cb = static_cast<ssize_t>(entries.size() * sizeof(INDEXREC));
    if (fd < 0 || write(fd, entries.data(), static_cast<size_t>(cb)) != cb) return 1;
    close(fd);
  }
  // Written a minute ago, as a library in use (lookups keep the top of the
  // search of an index unchanged for two seconds).
  std::filesystem::last_write_time(
      index, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));

  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  std::mt19937 rng(42);
  long hits = 0, mismatches = 0;
  for (long i = 0; i < count; ++i) {
    const LONG key = KeyOf(static_cast<int>(rng() % kRecords)) + static_cast<LONG>(i % 2);
    if (mode == "ours") {
      hits += FindIndexEntry(&pcp, data.c_str(), key) != 0;
    } else if (mode == "floor") {
      hits += PosixFindIndexEntry(index.c_str(), key) != 0;
    } else if (mode == "block") {
      hits += PosixBlockFindIndexEntry(index.c_str(), key) != 0;
    } else {
      const LONG a = FindIndexEntry(&pcp, data.c_str(), key);
      hits += a != 0;
      mismatches += a != PosixFindIndexEntry(index.c_str(), key);
      mismatches += a != PosixBlockFindIndexEntry(index.c_str(), key);
    }
  }
  std::filesystem::remove_all(dir);
  std::printf("%s: %ld lookups, %ld hits, %ld mismatches\n", mode.c_str(), count, hits, mismatches);
  return mismatches ? 1 : 0;
}
