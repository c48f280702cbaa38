// Adding 10,000 structures to a new user library, one addition each, with IDs
// in ascending and in random order: structures per second. And how the cost
// of one addition grows: into user libraries of 10^4, 10^5 and 10^6 records
// at random places in their indexes, where the entries after the new one
// move.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <random>

#include "apps/structdb/quietproc.h"
#include "benchlib.h"
#include "core/common.h"
#include "database/stdwriter.h"
#include "database/userlib.h"

namespace {

constexpr int kCount = 10000;

CSDRAWREC* Structure(LONG id) {
  const size_t cb = CSDRAWREC_HEADER + 3 + 6 * 8 + 4;
  auto* rec = static_cast<CSDRAWREC*>(std::calloc(cb, 1));
  rec->cbTotal = static_cast<DWORD>(cb);
  rec->lId = id;
  rec->nBonds = 3;
  rec->nLabels = 1;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = CSDRAWREC_HEADER + 3;
  rec->iFirstLabel = 6;
  rec->iFirstCircle = 7;
  rec->offLabels = static_cast<WORD>(CSDRAWREC_HEADER + 3 + 7 * 8);
  rec->cbTotal = rec->offLabels + 4;
  const POINT pts[7] = {{0, 0}, {40, 0}, {40, 0}, {60, 35}, {60, 35}, {0, 0}, {60, 35}};
  for (int i = 0; i < 7; ++i) SetRecPoint(rec, i, pts[i]);
  std::memcpy(reinterpret_cast<char*>(rec) + rec->offLabels, "OH\0", 3);
  std::strcpy(rec->szName, "Compound");
  return rec;
}

void AddAll(benchmark::State& state, bool random) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  CCpClient client{0, 0, new STRUCT_DLL_INFO, &pcp};
  std::vector<LONG> ids(kCount);
  std::iota(ids.begin(), ids.end(), 1000);
  if (random) std::shuffle(ids.begin(), ids.end(), std::mt19937(7));
  char tmpl[] = "/tmp/structbench-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(dir + "/user.sdb");
    std::filesystem::remove(dir + "/user.ind");
    state.ResumeTiming();
    for (LONG id : ids) {
      CSDRAWREC* rec = Structure(id);
      if (AddStructureToLibrary((dir + "/user").c_str(), &rec, 1, nullptr, &client, FALSE,
                                nullptr) != 0)
        state.SkipWithError("add");
      std::free(rec);
    }
  }
  state.counters["structures/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kCount, benchmark::Counter::kIsRate);
  std::filesystem::remove_all(dir);
  delete static_cast<STRUCT_DLL_INFO*>(client.pInfo);
}

void BM_AddAscending(benchmark::State& state) { AddAll(state, false); }
void BM_AddRandom(benchmark::State& state) { AddAll(state, true); }
BENCHMARK(BM_AddAscending)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AddRandom)->Unit(benchmark::kMillisecond)->Iterations(1);

// A library of n records (keys 10000, 10002, ...), built once, without its
// extension; a user library is the same pair of files with the kind byte 1.
std::string ScaleLibrary(int n) {
  const std::string& data = bench::BuiltLibrary(n);
  return data.substr(0, data.size() - 4);
}

void BM_AddToLibraryOf(benchmark::State& state) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const int n = static_cast<int>(state.range(0));
  const std::string base = ScaleLibrary(n);
  CQuietProcessor pcp;
  CCpClient client{0, 0, new STRUCT_DLL_INFO, &pcp};
  char tmpl[] = "/tmp/structbench-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string user = dir + "/user";
  std::filesystem::copy_file(base + ".sdb", user + ".sdb");
  std::filesystem::copy_file(base + ".ind", user + ".ind");
  std::fstream(user + ".sdb", std::ios::in | std::ios::out | std::ios::binary).put('\1');
  // New IDs between the ones there, each at its own random place.
  std::vector<LONG> places(n);
  std::iota(places.begin(), places.end(), 0);
  std::shuffle(places.begin(), places.end(), std::mt19937(7));
  size_t i = 0;
  for (auto _ : state) {
    CSDRAWREC* rec = Structure(10000 + 2 * places[i++ % places.size()] + 1);
    if (AddStructureToLibrary(user.c_str(), &rec, 1, nullptr, &client, FALSE, nullptr) != 0)
      state.SkipWithError("add");
    std::free(rec);
  }
  std::filesystem::remove_all(dir);
  delete static_cast<STRUCT_DLL_INFO*>(client.pInfo);
}
// A fixed number of additions, so that the library grows by a small share.
BENCHMARK(BM_AddToLibraryOf)
    ->Name("scale/addition")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
