// Adding 10,000 structures to a new user library, one addition each, with IDs
// in ascending and in random order: structures per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <random>

#include "apps/structdb/quietproc.h"
#include "database/userlib.h"
#include "core/common.h"

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

}  // namespace

BENCHMARK_MAIN();
