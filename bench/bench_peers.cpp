// This library against the chemistry toolkits RDKit and Open Babel on the same
// molecules (the 80 samples and a generated set of 10,000): MOL import, a
// 300 x 300 PNG in memory, and an SVG. Each benchmark iteration is one pass
// over a set; the time is measured by hand so that set-up done per molecule
// outside the measured part (the drawing before an encoding alone) is left
// out. Names are WORKLOAD/IMPLEMENTATION/SET; the counter "items" is the
// number of molecules in a pass and "bytes" the mean output size.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <platform/env.h>
#include <platform/gdi_export.h>
#include <png.h>
#include <zlib.h>

// Only the raster's cairo surface is taken from the platform's inside, so
// the project's PNG can be written to memory as the toolkits' is.
#include "gdi/dc.h"

#include <GraphMol/FileParsers/FileParsers.h>
#include <GraphMol/MolDraw2D/MolDraw2DCairo.h>
#include <GraphMol/MolDraw2D/MolDraw2DSVG.h>
#include <RDGeneral/RDLog.h>
#include <openbabel/mol.h>
#include <openbabel/obconversion.h>
#include <openbabel/oberror.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "apps/structdb/quietproc.h"
#include "convert/molimport.h"
#include "core/common.h"
#include "core/settings.h"
#include "molsets.h"
#include "png_encode.h"
#include "render/draw.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSize = 300;
const COLORREF kWhite = RGB(255, 255, 255);

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The drawing options of data/struct.ini (its colours and font), as the demo
// uses them: the sample directory is the system directory.
STRUCT_DLL_INFO& Info() {
  static STRUCT_DLL_INFO* info = [] {
    platform::SetSystemDirectory(SAMPLE_DIR);
    auto* i = new STRUCT_DLL_INFO{};
    ReadSettings(i);
    return i;
  }();
  return *info;
}

// What every implementation starts its drawing from, made once per set: our
// structure records, RDKit's sanitized molecules, Open Babel's molecules.
struct Prepared {
  std::vector<CSDRAWREC*> recs;
  std::vector<std::unique_ptr<RDKit::ROMol>> rdkit;
  std::vector<std::unique_ptr<OpenBabel::OBMol>> babel;
};

const Prepared& Prepare(const bench::MolSet& set) {
  static std::map<std::string, Prepared> made;
  auto it = made.find(set.name);
  if (it != made.end()) return it->second;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  Prepared p;
  OpenBabel::OBConversion conv;
  conv.SetInFormat("mol");
  for (const auto& f : set.files) {
    CSDRAWREC* rec = nullptr;
    if (MolToStructure(&pcp, &Info(), f.c_str(), &rec) != 0 || !rec) std::abort();
    p.recs.push_back(rec);
    p.rdkit.emplace_back(RDKit::MolFileToMol(f, true));
    if (!p.rdkit.back()) std::abort();
    auto m = std::make_unique<OpenBabel::OBMol>();
    if (!conv.ReadFile(m.get(), f)) std::abort();
    p.babel.push_back(std::move(m));
  }
  return made.emplace(set.name, std::move(p)).first->second;
}

// One pass over n items a run, timed whole.
template <typename F>
void TimedPasses(benchmark::State& state, size_t n, F&& one) {
  for (auto _ : state) {
    const auto start = Clock::now();
    for (size_t i = 0; i < n; ++i) one(i);
    state.SetIterationTime(Seconds(Clock::now() - start));
  }
  state.counters["items"] = static_cast<double>(n);
}

// One pass over n items a run, each item returning the time of its measured
// part.
template <typename F>
void SelfTimedPasses(benchmark::State& state, size_t n, F&& one) {
  for (auto _ : state) {
    Clock::duration total{};
    for (size_t i = 0; i < n; ++i) total += one(i);
    state.SetIterationTime(Seconds(total));
  }
  state.counters["items"] = static_cast<double>(n);
}

void SetBytes(benchmark::State& state, double bytes, size_t n) {
  state.counters["bytes"] = n ? bytes / static_cast<double>(n) : 0;
}

// ---------------------------------------------------------------- MOL import

void ImportOurs(benchmark::State& state, const bench::MolSet* set) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  STRUCT_DLL_INFO& info = Info();
  TimedPasses(state, set->files.size(), [&](size_t i) {
    CSDRAWREC* rec = nullptr;
    if (MolToStructure(&pcp, &info, set->files[i].c_str(), &rec) != 0) state.SkipWithError("import");
    std::free(rec);
  });
}

void ImportRdkit(benchmark::State& state, const bench::MolSet* set, bool sanitize) {
  TimedPasses(state, set->files.size(), [&](size_t i) {
    std::unique_ptr<RDKit::RWMol> m(RDKit::MolFileToMol(set->files[i], sanitize));
    if (!m) state.SkipWithError("import");
  });
}

void ImportBabel(benchmark::State& state, const bench::MolSet* set) {
  OpenBabel::OBConversion conv;
  conv.SetInFormat("mol");
  TimedPasses(state, set->files.size(), [&](size_t i) {
    OpenBabel::OBMol m;
    if (!conv.ReadFile(&m, set->files[i])) state.SkipWithError("import");
  });
}

// The reading part of our import alone: the lines MolToStructure reads (the
// header, counts, atom and bond blocks), through the platform's files as it
// reads them, one call a line; against one POSIX read of the whole file.
void ImportLinesPlatform(benchmark::State& state, const bench::MolSet* set) {
  TimedPasses(state, set->files.size(), [&](size_t i) {
    HANDLE h = CreateFile(set->files[i].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return state.SkipWithError("open");
    char line[256];
    int lines = 4;
    for (int k = 0; k < lines; ++k) {
      if (ReadTextLine(h, line, sizeof line) < 0) break;
      if (k == 3) lines += std::atoi(std::string(line, 3).c_str()) + std::atoi(line + 3);
    }
    CloseHandle(h);
  });
}

void ImportWholePosix(benchmark::State& state, const bench::MolSet* set) {
  std::string buf;
  TimedPasses(state, set->files.size(), [&](size_t i) {
    const int fd = open(set->files[i].c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) return state.SkipWithError("open");
    buf.resize(static_cast<size_t>(st.st_size));
    if (read(fd, buf.data(), buf.size()) != static_cast<ssize_t>(buf.size()))
      state.SkipWithError("read");
    close(fd);
  });
}

// ---------------------------------------------------------------- PNG

cairo_surface_t* SurfaceOf(HDC hdc) {
  return platform::gdi::WithDc(hdc, static_cast<cairo_surface_t*>(nullptr),
                               [](platform::gdi::Dc& dc) -> cairo_surface_t* {
                                 return dc.surface ? dc.surface->get() : nullptr;
                               });
}

// A raster context with the structure drawn on it (the caller deletes it).
HDC DrawRaster(CCommandProcessor* pcp, CSDRAWREC* rec) {
  HDC dc = platform::CreateRasterDC(kSize, kSize, kWhite);
  const RECT target{0, 0, kSize, kSize};
  DrawStructure(pcp, rec, dc, dc, &target, 0);
  return dc;
}

// What an encoding does with the drawn surface.
enum class Encode { None, Cairo, File, Libpng, Palette, Libdeflate };

void PngOurs(benchmark::State& state, const bench::MolSet* set, Encode encode) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  const Prepared& p = Prepare(*set);
  double bytes = 0;
  TimedPasses(state, p.recs.size(), [&](size_t i) {
    HDC dc = DrawRaster(&pcp, p.recs[i]);
    if (encode == Encode::Cairo) {
      // The project's own encoder, in memory.
      std::string png;
      if (!platform::EncodeRasterPNG(dc, &png)) state.SkipWithError("png");
      bytes += static_cast<double>(png.size());
    } else if (encode == Encode::File) {
      // The project's own export into a file.
      if (!platform::SaveRasterPNG(dc, "/dev/null")) state.SkipWithError("png");
    }
    DeleteDC(dc);
  });
  SetBytes(state, bytes / static_cast<double>(state.iterations()), p.recs.size());
}

// The encoding alone, of our drawing (made before the clock starts).
void PngEncodeOnly(benchmark::State& state, const bench::MolSet* set, Encode encode, int level,
                   int filters, int strategy) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  const Prepared& p = Prepare(*set);
  double bytes = 0, paletted = 0;
  SelfTimedPasses(state, p.recs.size(), [&](size_t i) {
    HDC dc = DrawRaster(&pcp, p.recs[i]);
    cairo_surface_t* s = SurfaceOf(dc);
    cairo_surface_flush(s);
    std::string png;
    bool withPalette = false;
    const auto start = Clock::now();
    const bool ok = encode == Encode::Cairo ? bench::EncodePngCairo(s, png)
                    : encode == Encode::Palette
                        ? bench::EncodePngPalette(s, level, strategy, png, &withPalette)
                    : encode == Encode::Libdeflate
                        ? bench::EncodePngLibdeflate(s, level, png)
                        : bench::EncodePngLibpng(s, level, filters, strategy, png);
    const auto took = Clock::now() - start;
    if (!ok) state.SkipWithError("png");
    bytes += static_cast<double>(png.size());
    paletted += withPalette;
    DeleteDC(dc);
    return took;
  });
  SetBytes(state, bytes / static_cast<double>(state.iterations()), p.recs.size());
  if (encode == Encode::Palette)
    state.counters["paletted"] = paletted / static_cast<double>(state.iterations());
}

void PngRdkit(benchmark::State& state, const bench::MolSet* set) {
  const Prepared& p = Prepare(*set);
  double bytes = 0;
  TimedPasses(state, p.rdkit.size(), [&](size_t i) {
    RDKit::MolDraw2DCairo d(kSize, kSize);
    d.drawMolecule(*p.rdkit[i]);
    d.finishDrawing();
    bytes += static_cast<double>(d.getDrawingText().size());
  });
  SetBytes(state, bytes / static_cast<double>(state.iterations()), p.rdkit.size());
}

// ---------------------------------------------------------------- SVG

void SvgOurs(benchmark::State& state, const bench::MolSet* set) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  const Prepared& p = Prepare(*set);
  const RECT target{0, 0, kSize, kSize};
  // The document is kept in memory until it is closed; then it goes to a file,
  // here one that costs nothing to write.
  TimedPasses(state, p.recs.size(), [&](size_t i) {
    HDC dc = platform::CreateVectorDC("/dev/null", false, kSize, kSize);
    HBRUSH brush = CreateSolidBrush(kWhite);
    FillRect(dc, &target, brush);
    DeleteObject(brush);
    DrawStructure(&pcp, p.recs[i], dc, dc, &target, 0);
    if (!platform::CloseVectorDC(dc)) state.SkipWithError("svg");
  });
}

// The drawing calls alone, recorded into a metafile in memory: about what an
// SVG writer that formats the calls itself would start from.
void SvgOursMetafileOnly(benchmark::State& state, const bench::MolSet* set) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  const Prepared& p = Prepare(*set);
  const RECT target{0, 0, kSize, kSize};
  HDC ref = platform::CreateVectorDC("/dev/null", false, kSize, kSize);
  TimedPasses(state, p.recs.size(), [&](size_t i) {
    HDC meta = CreateMetaFile(nullptr);
    DrawStructure(&pcp, p.recs[i], meta, ref, &target, 0);
    DeleteMetaFile(CloseMetaFile(meta));
  });
  DeleteDC(ref);
}

void SvgRdkit(benchmark::State& state, const bench::MolSet* set) {
  const Prepared& p = Prepare(*set);
  double bytes = 0;
  TimedPasses(state, p.rdkit.size(), [&](size_t i) {
    RDKit::MolDraw2DSVG d(kSize, kSize);
    d.drawMolecule(*p.rdkit[i]);
    d.finishDrawing();
    bytes += static_cast<double>(d.getDrawingText().size());
  });
  SetBytes(state, bytes / static_cast<double>(state.iterations()), p.rdkit.size());
}

void SvgBabel(benchmark::State& state, const bench::MolSet* set) {
  const Prepared& p = Prepare(*set);
  OpenBabel::OBConversion conv;
  conv.SetOutFormat("svg");
  conv.AddOption("P", OpenBabel::OBConversion::OUTOPTIONS, "300");
  double bytes = 0;
  TimedPasses(state, p.babel.size(), [&](size_t i) {
    bytes += static_cast<double>(conv.WriteString(p.babel[i].get()).size());
  });
  SetBytes(state, bytes / static_cast<double>(state.iterations()), p.babel.size());
}

// Our SVG's size, measured once through a real file (the timed runs write
// to /dev/null).
double OurSvgBytes(const bench::MolSet& set) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  const Prepared& p = Prepare(set);
  const RECT target{0, 0, kSize, kSize};
  char tmpl[] = "/tmp/structbench-svg-XXXXXX";
  const int fd = mkstemp(tmpl);
  if (fd < 0) return 0;
  close(fd);
  double total = 0;
  for (CSDRAWREC* rec : p.recs) {
    HDC dc = platform::CreateVectorDC(tmpl, false, kSize, kSize);
    HBRUSH brush = CreateSolidBrush(kWhite);
    FillRect(dc, &target, brush);
    DeleteObject(brush);
    DrawStructure(&pcp, rec, dc, dc, &target, 0);
    platform::CloseVectorDC(dc);
    total += static_cast<double>(std::filesystem::file_size(tmpl));
  }
  std::filesystem::remove(tmpl);
  return total / static_cast<double>(p.recs.size());
}

void SvgOursWithSize(benchmark::State& state, const bench::MolSet* set) {
  SvgOurs(state, set);
  state.counters["bytes"] = OurSvgBytes(*set);
}

// ---------------------------------------------------------------- registration

void Register(const std::string& name, std::function<void(benchmark::State&)> fn) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(fn))
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
}

// The sets are made when a benchmark first runs on them, so a filter that
// leaves the generated set out never writes its files.
using SetFn = const bench::MolSet& (*)();

void RegisterAll() {
  const std::pair<const char*, SetFn> sets[] = {{"sample", bench::SampleSet},
                                                {"generated", bench::GeneratedSet}};
  for (const auto& [setName, get] : sets) {
    const std::string s = std::string("/") + setName;
    Register("import/ours" + s, [get](auto& st) { ImportOurs(st, &get()); });
    Register("import/rdkit" + s, [get](auto& st) { ImportRdkit(st, &get(), false); });
    Register("import/rdkit_sanitize" + s, [get](auto& st) { ImportRdkit(st, &get(), true); });
    Register("import/openbabel" + s, [get](auto& st) { ImportBabel(st, &get()); });
    Register("import/ours_lines_only" + s, [get](auto& st) { ImportLinesPlatform(st, &get()); });
    Register("import/posix_whole_file" + s, [get](auto& st) { ImportWholePosix(st, &get()); });

    Register("png/ours" + s, [get](auto& st) { PngOurs(st, &get(), Encode::Cairo); });
    Register("png/ours_draw_only" + s, [get](auto& st) { PngOurs(st, &get(), Encode::None); });
    Register("png/ours_encode_only" + s,
             [get](auto& st) { PngEncodeOnly(st, &get(), Encode::Cairo, 0, 0, 0); });
    Register("png/rdkit" + s, [get](auto& st) { PngRdkit(st, &get()); });

    Register("svg/ours" + s, [get](auto& st) { SvgOursWithSize(st, &get()); });
    Register("svg/ours_metafile_only" + s, [get](auto& st) { SvgOursMetafileOnly(st, &get()); });
    Register("svg/rdkit" + s, [get](auto& st) { SvgRdkit(st, &get()); });
    Register("svg/openbabel" + s, [get](auto& st) { SvgBabel(st, &get()); });
  }
  // The encoders set against each other on the samples' pictures.
  Register("png/ours_to_file/sample",
           [](auto& st) { PngOurs(st, &bench::SampleSet(), Encode::File); });
  struct Variant {
    const char* name;
    int level, filters, strategy;
  };
  for (const Variant& v : {
           Variant{"libpng_l6_all", 6, PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY},  // as Cairo
           Variant{"libpng_l1_all", 1, PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY},
           Variant{"libpng_l1_sub", 1, PNG_FILTER_SUB, Z_DEFAULT_STRATEGY},
           Variant{"libpng_l1_up", 1, PNG_FILTER_UP, Z_DEFAULT_STRATEGY},
           Variant{"libpng_l1_none", 1, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY},
           Variant{"libpng_rle_none", 1, PNG_FILTER_NONE, Z_RLE},
           Variant{"libpng_rle_up", 1, PNG_FILTER_UP, Z_RLE},
       }) {
    Register(std::string("encode/") + v.name + "/sample", [v](auto& st) {
      PngEncodeOnly(st, &bench::SampleSet(), Encode::Libpng, v.level, v.filters, v.strategy);
    });
  }
  // At most 256 colours: one byte a pixel instead of three.
  Register("encode/libpng_palette_l1/sample", [](auto& st) {
    PngEncodeOnly(st, &bench::SampleSet(), Encode::Palette, 1, 0, Z_DEFAULT_STRATEGY);
  });
  Register("encode/libpng_palette_rle/sample", [](auto& st) {
    PngEncodeOnly(st, &bench::SampleSet(), Encode::Palette, 1, 0, Z_RLE);
  });
#ifdef HAVE_LIBDEFLATE
  for (int level : {1, 3, 6}) {
    Register("encode/libdeflate_l" + std::to_string(level) + "_none/sample", [level](auto& st) {
      PngEncodeOnly(st, &bench::SampleSet(), Encode::Libdeflate, level, 0, 0);
    });
  }
#endif
}

}  // namespace

int main(int argc, char** argv) {
  RDLog::InitLogs();
  boost::logging::disable_logs("rdApp.*");
  OpenBabel::obErrorLog.StopLogging();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
