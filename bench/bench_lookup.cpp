// Lookups in a library of 1,000,000 records: CAS numbers through the index
// (half hits, half misses) against the same keys in SQLite through one warm
// prepared statement, in SQLite opened and closed for every lookup, and in
// the same index searched with bare POSIX calls (the floor: open, the same
// probes as positioned reads, close); and records read by number in order
// (the sequential shortcut) against the same records read by CAS number.
// Two prototypes show what fewer calls would give: the floor with its last
// 4 KiB read at once, and the index kept mapped between lookups.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "apps/structdb/quietproc.h"
#include "database/lookup.h"
#include "database/stdwriter.h"
#include "benchlib.h"
#include "posix_lookup.h"
#include "core/common.h"

namespace {

constexpr int kRecords = 1000000;


// Keys are spread out so that every other integer is a miss.
using bench::AgeLibrary;
using bench::KeyOf;

struct Library {
  std::string dir, path, indexPath, dbPath;
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;

  Library() {
    char tmpl[] = "/tmp/structbench-XXXXXX";
    dir = mkdtemp(tmpl);
    path = dir + "/big.sdb";
    indexPath = dir + "/big.ind";
    dbPath = dir + "/big.db";
    const std::vector<StdStructure> all = bench::Structures(kRecords);
    std::string why;
    if (!WriteStandardLibrary(path, all, why)) std::abort();
    AgeLibrary(path, indexPath);

    sqlite3_open(dbPath.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE idx(key INTEGER PRIMARY KEY, offset INTEGER)", 0, 0, 0);
    sqlite3_exec(db, "BEGIN", 0, 0, 0);
    sqlite3_stmt* ins;
    sqlite3_prepare_v2(db, "INSERT INTO idx VALUES(?, ?)", -1, &ins, 0);
    for (int i = 0; i < kRecords; ++i) {
      sqlite3_bind_int(ins, 1, KeyOf(i));
      sqlite3_bind_int(ins, 2, i + 1);
      sqlite3_step(ins);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    sqlite3_exec(db, "COMMIT", 0, 0, 0);
    sqlite3_prepare_v2(db, "SELECT offset FROM idx WHERE key = ?", -1, &stmt, 0);
  }
  ~Library() {
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    std::filesystem::remove_all(dir);
  }
};

Library& Lib() {
  static Library lib;
  return lib;
}

// Half hits, half misses, in a random order fixed for every run.
const std::vector<LONG>& Keys() {
  static std::vector<LONG> keys = [] {
    std::mt19937 rng(42);
    std::vector<LONG> k(1 << 16);
    for (size_t i = 0; i < k.size(); ++i) k[i] = KeyOf(rng() % kRecords) + static_cast<LONG>(i % 2);
    return k;
  }();
  return keys;
}

void BM_IndexLookup(benchmark::State& state) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  Library& lib = Lib();
  CQuietProcessor pcp;
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    hits += FindIndexEntry(&pcp, lib.path.c_str(), Keys()[i++ & 0xFFFF]) != 0;
  }
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_IndexLookup);

void BM_SqliteLookup(benchmark::State& state) {
  Library& lib = Lib();
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    sqlite3_bind_int(lib.stmt, 1, Keys()[i++ & 0xFFFF]);
    if (sqlite3_step(lib.stmt) == SQLITE_ROW) hits += sqlite3_column_int(lib.stmt, 0) != 0;
    sqlite3_reset(lib.stmt);
  }
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SqliteLookup);

// SQLite without state kept between lookups, as FindIndexEntry keeps none:
// open, prepare, step, finalize, close every time.
void BM_SqliteStatelessLookup(benchmark::State& state) {
  Library& lib = Lib();
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_open_v2(lib.dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "SELECT offset FROM idx WHERE key = ?", -1, &stmt, nullptr) !=
            SQLITE_OK)
      state.SkipWithError("sqlite");
    sqlite3_bind_int(stmt, 1, Keys()[i++ & 0xFFFF]);
    if (sqlite3_step(stmt) == SQLITE_ROW) hits += sqlite3_column_int(stmt, 0) != 0;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
  }
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SqliteStatelessLookup);

void BM_PosixFloorLookup(benchmark::State& state) {
  Library& lib = Lib();
  size_t i = 0, hits = 0;
  for (auto _ : state)
    hits += PosixFindIndexEntry(lib.indexPath.c_str(), Keys()[i++ & 0xFFFF]) != 0;
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PosixFloorLookup);

// Prototype: the floor with the last 4 KiB of the search read in one call.
void BM_PosixBlockLookup(benchmark::State& state) {
  Library& lib = Lib();
  size_t i = 0, hits = 0;
  for (auto _ : state)
    hits += PosixBlockFindIndexEntry(lib.indexPath.c_str(), Keys()[i++ & 0xFFFF]) != 0;
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PosixBlockLookup);

// Prototype: the index kept open and mapped between lookups; each lookup
// checks with one fstat that the file has not changed (size and time), then
// searches memory.
void BM_MappedLookup(benchmark::State& state) {
  Library& lib = Lib();
  const int fd = open(lib.indexPath.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat first;
  if (fd < 0 || fstat(fd, &first) != 0) return state.SkipWithError("open");
  const size_t cb = static_cast<size_t>(first.st_size);
  void* map = mmap(nullptr, cb, PROT_READ, MAP_SHARED, fd, 0);
  if (map == MAP_FAILED) return state.SkipWithError("mmap");
  const auto* begin = static_cast<const INDEXREC*>(map);
  const INDEXREC* end = begin + cb / sizeof(INDEXREC);
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    const LONG key = Keys()[i++ & 0xFFFF];
    struct stat now;
    if (fstat(fd, &now) != 0 || now.st_size != first.st_size ||
        now.st_mtim.tv_nsec != first.st_mtim.tv_nsec || now.st_mtim.tv_sec != first.st_mtim.tv_sec)
      state.SkipWithError("changed");
    const INDEXREC* at = std::lower_bound(begin, end, key,
                                          [](const INDEXREC& e, LONG k) { return e.lKey < k; });
    hits += at != end && at->lKey == key && at->lOffset != 0;
  }
  munmap(map, cb);
  close(fd);
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_MappedLookup);

void ReadRecords(benchmark::State& state, bool byNumber) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  Library& lib = Lib();
  CQuietProcessor pcp;
  static STRUCT_DLL_INFO* info = new STRUCT_DLL_INFO;
  int r = 0;
  for (auto _ : state) {
    const LONG id = byNumber ? -(r + 1) : KeyOf(r);
    r = (r + 1) % kRecords;
    CSDRAWREC* rec = nullptr;
    if (LoadStructureFromFile(&pcp, info, lib.path.c_str(), id, &rec) != 0) state.SkipWithError("read");
    std::free(rec);
  }
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
void BM_ReadInOrderByNumber(benchmark::State& state) { ReadRecords(state, true); }
void BM_ReadInOrderByCas(benchmark::State& state) { ReadRecords(state, false); }
BENCHMARK(BM_ReadInOrderByNumber);
BENCHMARK(BM_ReadInOrderByCas);

// ---------------------------------------------------------------- how costs grow
// A lookup and a record read in order at 10^4, 10^5 and 10^6 records (the
// library above), the same records and keys: the lookup should grow with
// log n, the read in order not at all.

// The data file of the library of n records, built once.
const std::string& ScalePath(int n) { return n == kRecords ? Lib().path : bench::BuiltLibrary(n); }

void BM_ScaleLookup(benchmark::State& state) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const int n = static_cast<int>(state.range(0));
  const std::string& path = ScalePath(n);
  std::vector<LONG> keys(1 << 16);
  std::mt19937 rng(42);
  for (size_t i = 0; i < keys.size(); ++i)
    keys[i] = KeyOf(static_cast<int>(rng() % n)) + static_cast<LONG>(i % 2);
  CQuietProcessor pcp;
  size_t i = 0, hits = 0;
  for (auto _ : state) hits += FindIndexEntry(&pcp, path.c_str(), keys[i++ & 0xFFFF]) != 0;
  state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ScaleLookup)->Name("scale/lookup")->Arg(10000)->Arg(100000)->Arg(1000000);

void BM_ScaleReadInOrder(benchmark::State& state) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const int n = static_cast<int>(state.range(0));
  const std::string& path = ScalePath(n);
  CQuietProcessor pcp;
  static STRUCT_DLL_INFO* info = new STRUCT_DLL_INFO;
  int r = 0;
  for (auto _ : state) {
    CSDRAWREC* rec = nullptr;
    if (LoadStructureFromFile(&pcp, info, path.c_str(), -(r + 1), &rec) != 0)
      state.SkipWithError("read");
    std::free(rec);
    r = (r + 1) % n;
  }
}
BENCHMARK(BM_ScaleReadInOrder)->Name("scale/read_in_order")->Arg(10000)->Arg(100000)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
