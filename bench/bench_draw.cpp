// Drawing costs. A fixed drawing (30 lines, 2 ellipses, 6 text runs) recorded
// into an in-memory metafile and drawn on a 300 x 300 raster context, against
// the same Cairo calls made directly; and the sample structures drawn with
// DrawStructure into a metafile and onto the raster.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <platform/gdi_export.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "apps/structdb/quietproc.h"
#include "database/lookup.h"
#include "render/draw.h"
#include "core/common.h"
#include "core/settings.h"

namespace {

const char* const kRuns[6] = {"OH", "NH2", "Cl", "Br", "SiH3", "CH3"};

void FixedDrawing(HDC hdc) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 128));
  HGDIOBJ oldPen = SelectObject(hdc, pen);
  for (int i = 0; i < 30; ++i) {
    MoveToEx(hdc, 10 + i * 9, 10, nullptr);
    LineTo(hdc, 290 - i * 9, 290);
  }
  SelectObject(hdc, GetStockObject(NULL_BRUSH));
  Ellipse(hdc, 50, 50, 150, 150);
  Ellipse(hdc, 150, 150, 250, 250);
  LOGFONT lf{};
  lf.lfHeight = -13;
  lf.lfWeight = FW_NORMAL;
  std::strcpy(lf.lfFaceName, "Lucida Console");
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ oldFont = SelectObject(hdc, font);
  SetBkMode(hdc, OPAQUE);
  for (int i = 0; i < 6; ++i) TextOut(hdc, 20 + 40 * i, 140, kRuns[i], static_cast<int>(std::strlen(kRuns[i])));
  SelectObject(hdc, oldFont);
  SelectObject(hdc, oldPen);
  DeleteObject(font);
  DeleteObject(pen);
}

void BM_FixedDrawing_Metafile(benchmark::State& state) {
  for (auto _ : state) {
    HDC meta = CreateMetaFile(nullptr);
    FixedDrawing(meta);
    DeleteMetaFile(CloseMetaFile(meta));
  }
}
BENCHMARK(BM_FixedDrawing_Metafile);

void BM_FixedDrawing_Raster(benchmark::State& state) {
  HDC hdc = platform::CreateRasterDC(300, 300, RGB(255, 255, 255));
  for (auto _ : state) FixedDrawing(hdc);
  DeleteDC(hdc);
}
BENCHMARK(BM_FixedDrawing_Raster);

// The baseline: the same drawing in Cairo calls made directly.
void BM_FixedDrawing_CairoDirect(benchmark::State& state) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 300, 300);
  cairo_t* cr = cairo_create(s);
  for (auto _ : state) {
    cairo_set_source_rgb(cr, 0, 0, 0.5);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 30; ++i) {
      cairo_move_to(cr, 10.5 + i * 9, 10.5);
      cairo_line_to(cr, 290.5 - i * 9, 290.5);
      cairo_stroke(cr);
    }
    for (int i = 0; i < 2; ++i) {
      cairo_save(cr);
      cairo_translate(cr, 100 + 100 * i, 100 + 100 * i);
      cairo_arc(cr, 0, 0, 50, 0, 6.283185307);
      cairo_restore(cr);
      cairo_stroke(cr);
    }
    cairo_select_font_face(cr, "monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
    for (int i = 0; i < 6; ++i) {
      cairo_text_extents_t ext;
      cairo_text_extents(cr, kRuns[i], &ext);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_rectangle(cr, 20 + 40 * i, 140, ext.x_advance, 15);
      cairo_fill(cr);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_move_to(cr, 20 + 40 * i, 152);
      cairo_show_text(cr, kRuns[i]);
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
}
BENCHMARK(BM_FixedDrawing_CairoDirect);

// The sample library's structures, loaded once.
std::vector<CSDRAWREC*>& Samples() {
  static std::vector<CSDRAWREC*> recs = [] {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CQuietProcessor pcp;
    static STRUCT_DLL_INFO info;
    ReadSettings(&info);
    std::vector<CSDRAWREC*> out;
    const std::string lib = std::string(SAMPLE_DIR) + "/sample.sdb";
    for (LONG r = 1;; ++r) {
      CSDRAWREC* rec = nullptr;
      CQuietReports quiet(true);
      if (LoadStructureFromFile(&pcp, &info, lib.c_str(), -r, &rec) != 0) break;
      out.push_back(rec);
    }
    return out;
  }();
  return recs;
}

void DrawSamples(benchmark::State& state, bool raster) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  HDC screen = platform::CreateRasterDC(300, 300, RGB(0, 0, 0));
  std::vector<double> perStructure;
  size_t i = 0;
  RECT target{0, 0, 300, 300};
  for (auto _ : state) {
    CSDRAWREC* rec = Samples()[i++ % Samples().size()];
    auto start = std::chrono::steady_clock::now();
    if (raster) {
      DrawStructure(&pcp, rec, screen, screen, &target, 0);
    } else {
      HDC meta = CreateMetaFile(nullptr);
      DrawStructure(&pcp, rec, meta, screen, &target, 1);
      DeleteMetaFile(CloseMetaFile(meta));
    }
    perStructure.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  DeleteDC(screen);
  std::nth_element(perStructure.begin(), perStructure.begin() + perStructure.size() / 2,
                   perStructure.end());
  state.counters["median us"] = perStructure[perStructure.size() / 2];
  state.counters["structures/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_Structures_Metafile(benchmark::State& state) { DrawSamples(state, false); }
void BM_Structures_Raster(benchmark::State& state) { DrawSamples(state, true); }
BENCHMARK(BM_Structures_Metafile);
BENCHMARK(BM_Structures_Raster);

}  // namespace

BENCHMARK_MAIN();
