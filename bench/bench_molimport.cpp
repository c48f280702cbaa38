// MOL import of the sample molecules: molecules per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "apps/structdb/quietproc.h"
#include "convert/molimport.h"
#include "core/common.h"

namespace {

void BM_MolImport(benchmark::State& state) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(std::string(SAMPLE_DIR) + "/molecules"))
    if (e.path().extension() == ".mol") files.push_back(e.path().string());
  CQuietProcessor pcp;
  STRUCT_DLL_INFO info;
  size_t i = 0;
  for (auto _ : state) {
    CSDRAWREC* rec = nullptr;
    if (MolToStructure(&pcp, &info, files[i++ % files.size()].c_str(), &rec) != 0)
      state.SkipWithError("import");
    std::free(rec);
  }
  state.counters["molecules/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MolImport);

}  // namespace

BENCHMARK_MAIN();
