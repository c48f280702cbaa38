// A GDI test: the platform fixture plus contexts made through Raster() that
// are deleted at the end, checks that no GDI object or context is left
// behind, and pixel helpers that read device pixels whatever the mapping.
#pragma once

#include <platform/gdi_export.h>

#include <algorithm>
#include <vector>

#include "fixture.h"

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class GdiTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    objects_ = platform::LiveGdiObjects();
    contexts_ = platform::LiveDeviceContexts();
  }
  void TearDown() override {
    for (HDC h : made_) DeleteDC(h);
    EXPECT_EQ(platform::LiveGdiObjects(), objects_) << "GDI objects leaked";
    EXPECT_EQ(platform::LiveDeviceContexts(), contexts_) << "device contexts left";
    PlatformTest::TearDown();
  }

  HDC Raster(int width, int height, COLORREF background = kWhite) {
    HDC hdc = platform::CreateRasterDC(width, height, background);
    made_.push_back(hdc);
    return hdc;
  }

  // The pixel at device (x, y).
  static COLORREF Px(HDC hdc, int x, int y) {
    SaveDC(hdc);
    SetMapMode(hdc, MM_TEXT);
    SetWindowOrgEx(hdc, 0, 0, nullptr);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    COLORREF c = GetPixel(hdc, x, y);
    RestoreDC(hdc, -1);
    return c;
  }
  // Device pixels of row y (or column x) from a to b - 1 that are not white.
  static int InkInRow(HDC hdc, int y, int a, int b) {
    int n = 0;
    for (int x = a; x < b; ++x) n += Px(hdc, x, y) != kWhite;
    return n;
  }
  static int InkInColumn(HDC hdc, int x, int a, int b) {
    int n = 0;
    for (int y = a; y < b; ++y) n += Px(hdc, x, y) != kWhite;
    return n;
  }
  // The box around every pixel that is not white (right and bottom
  // exclusive); empty when there is none.
  static RECT InkBox(HDC hdc, int width, int height) {
    RECT r{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (Px(hdc, x, y) != kWhite) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }

  std::vector<HDC> made_;

 private:
  int objects_ = 0, contexts_ = 0;
};

// Selects an object for the life of a scope and deletes it afterwards.
class Selected {
 public:
  Selected(HDC hdc, HGDIOBJ h) : hdc_(hdc), h_(h), old_(SelectObject(hdc, h)) {}
  ~Selected() {
    SelectObject(hdc_, old_);
    DeleteObject(h_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC hdc_;
  HGDIOBJ h_, old_;
};

inline LOGFONT Font(LONG height, const char* face, LONG weight = FW_NORMAL) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return lf;
}
