// The maintenance tools against the floor of reading their input, in bytes of
// input a second: CSSubset of 100,000 IDs from a library of 1,000,000 records
// (the list, the index probes of the searches and the records copied) and
// CSIPack of a text index of 1,000,000 lines. The floor reads the same number
// of bytes from the same files with read(2) in 2,048-byte blocks.
//
// The subset's bytes are those of its work as the plain search reads it: the
// list file, what FindIndexEntryIn reads for every listed ID (counted once by
// the kernel's read count, /proc/self/io) and the copied records; the subset
// itself may read less (an index read whole). The list comes in two orders:
// shuffled, and ascending as a sorted export gives it. Each pass writes new
// output files, not ones whose last contents are still being written back,
// and removes them when it ends.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "apps/structdb/quietproc.h"
#include "benchlib.h"
#include "core/common.h"
#include "core/dllinfo.h"
#include "database/fileio.h"
#include "database/lookup.h"
#include "database/stdwriter.h"
#include "tools/pack.h"
#include "tools/subset.h"

namespace {

constexpr int kRecords = 1000000;
constexpr int kListed = 100000;
constexpr size_t kFloorBlock = 2048;

using bench::KeyOf;

long long ReadCharCount() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long long value = 0;
  while (io >> name >> value)
    if (name == "rchar:") return value;
  return -1;
}

long long SizeOf(const std::string& path) {
  std::error_code ec;
  const auto n = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<long long>(n);
}

struct Inputs {
  std::string dir, lib, index, data, textIndex;
  std::string list[2];        // shuffled, ascending
  long long probeBytes[2]{};  // what the searches of each list read
  long long recordBytes = 0;  // the records the subset copies
  CQuietProcessor pcp;
  STRUCT_DLL_INFO info{};

  Inputs() {
    char tmpl[] = "/tmp/structbench-XXXXXX";
    dir = mkdtemp(tmpl);
    lib = dir + "/big.sdb";
    index = dir + "/big.ind";
    data = lib;
    textIndex = dir + "/big.txt";
    const std::vector<StdStructure> all = bench::Structures(kRecords);
    std::string why;
    if (!WriteStandardLibrary(lib, all, why)) std::abort();

    // The text index CSIPack turns back into the binary one: "key offset".
    {
      std::vector<INDEXREC> entries(kRecords);
      std::FILE* in = std::fopen(index.c_str(), "rb");
      std::FILE* out = std::fopen(textIndex.c_str(), "wb");
      if (!in || !out || std::fread(entries.data(), 8, kRecords, in) != kRecords) std::abort();
      for (const INDEXREC& e : entries) std::fprintf(out, "%d %d\r\n", e.lKey, e.lOffset);
      std::fclose(in);
      std::fclose(out);
    }

    std::vector<LONG> ids(kRecords);
    for (int i = 0; i < kRecords; ++i) ids[i] = KeyOf(i);
    std::mt19937 rng(42);
    std::shuffle(ids.begin(), ids.end(), rng);
    ids.resize(kListed);
    for (int order = 0; order < 2; ++order) {
      if (order == 1) std::sort(ids.begin(), ids.end());
      list[order] = dir + (order == 0 ? "/shuffled.txt" : "/ascending.txt");
      std::FILE* f = std::fopen(list[order].c_str(), "wb");
      for (LONG id : ids) std::fprintf(f, "%d\r\n", id);
      std::fclose(f);
      HANDLE h = OpenForReading(index.c_str());
      const long long before = ReadCharCount();
      for (LONG id : ids)
        if (FindIndexEntryIn(&pcp, h, id) == 0) std::abort();
      probeBytes[order] = ReadCharCount() - before;
      if (before < 0 || probeBytes[order] <= 0) {
        std::fprintf(stderr, "bench_tools: no read count in /proc/self/io\n");
        std::abort();
      }
      CloseHandle(h);
    }
    // Every listed record is copied: the output data file less its kind byte.
    CCpClient client{0, 0, &info, &pcp};
    if (SubsetDatabase(&client, list[0].c_str(), lib.c_str(), nullptr) != 0) std::abort();
    recordBytes = SizeOf(dir + "/shuffled.sdb") - 1;
    // The inputs on disk before any timing: their write-back would otherwise
    // fall into whichever pass runs next.
    sync();
  }
  ~Inputs() { std::filesystem::remove_all(dir); }

  long long SubsetBytes(int order) const {
    return SizeOf(list[order]) + probeBytes[order] + recordBytes;
  }
};

Inputs& In() {
  static Inputs in;
  return in;
}

// Reads count bytes of path from its start in blocks of the given size,
// starting over at its end.
void ReadBlocks(const std::string& path, long long count, size_t block = kFloorBlock) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) std::abort();
  static std::vector<char> buf;
  buf.resize(std::max(buf.size(), block));
  while (count > 0) {
    const ssize_t n =
        read(fd, buf.data(),
             static_cast<size_t>(std::min<long long>(count, static_cast<long long>(block))));
    if (n < 0) std::abort();
    if (n == 0) {
      lseek(fd, 0, SEEK_SET);
      continue;
    }
    count -= n;
  }
  close(fd);
}

void Subset(benchmark::State& state, int order) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  Inputs& in = In();
  CCpClient client{0, 0, &in.info, &in.pcp};
  const std::string stem = in.list[order].substr(0, in.list[order].size() - 4);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(stem + ".sdb");
    std::filesystem::remove(stem + ".ind");
    state.ResumeTiming();
    if (SubsetDatabase(&client, in.list[order].c_str(), in.lib.c_str(), ReportToolProgress) != 0)
      state.SkipWithError("subset");
  }
  // Removed while still unwritten, the outputs cost the next pass nothing.
  std::filesystem::remove(stem + ".sdb");
  std::filesystem::remove(stem + ".ind");
  state.SetBytesProcessed(state.iterations() * in.SubsetBytes(order));
  state.counters["items"] = kListed;
}

// The subset's bytes read straight through: the list, the index bytes the
// searches read (the index over and over) and the records' bytes of the data.
void SubsetFloor(benchmark::State& state, int order) {
  Inputs& in = In();
  for (auto _ : state) {
    ReadBlocks(in.list[order], SizeOf(in.list[order]));
    ReadBlocks(in.index, in.probeBytes[order]);
    ReadBlocks(in.data, in.recordBytes);
  }
  state.SetBytesProcessed(state.iterations() * in.SubsetBytes(order));
  state.counters["items"] = kListed;
}

void IndexPack(benchmark::State& state) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  Inputs& in = In();
  CCpClient client{0, 0, &in.info, &in.pcp};
  const std::string out = in.dir + "/packed.ind";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(out);
    state.ResumeTiming();
    if (PackIndexFile(&client, in.textIndex.c_str(), out.c_str()) != 0)
      state.SkipWithError("ipack");
  }
  std::filesystem::remove(out);
  state.SetBytesProcessed(state.iterations() * SizeOf(in.textIndex));
  state.counters["items"] = kRecords;
}

void IndexPackFloor(benchmark::State& state) {
  Inputs& in = In();
  const long long size = SizeOf(in.textIndex);
  for (auto _ : state) ReadBlocks(in.textIndex, size);
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["items"] = kRecords;
}

// For comparison, not a floor of reading: the text index read and the
// binary index written to a new file in CSIPack's blocks (256 KB and 1 MB),
// with nothing between.
void IndexPackReadWrite(benchmark::State& state) {
  Inputs& in = In();
  const long long size = SizeOf(in.textIndex);
  const long long out = SizeOf(in.index);
  const std::string path = in.dir + "/written.ind";
  constexpr long long kWriteBlock = 1024 * 1024;
  static char buf[kWriteBlock];
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(path);
    state.ResumeTiming();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) std::abort();
    ReadBlocks(in.textIndex, size, 256 * 1024);
    for (long long done = 0; done < out; done += kWriteBlock)
      if (write(fd, buf, static_cast<size_t>(std::min(kWriteBlock, out - done))) <= 0) std::abort();
    close(fd);
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["items"] = kRecords;
}

BENCHMARK_CAPTURE(Subset, shuffled, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Subset, ascending, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SubsetFloor, shuffled, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SubsetFloor, ascending, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IndexPack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IndexPackFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IndexPackReadWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
