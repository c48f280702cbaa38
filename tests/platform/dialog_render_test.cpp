// Pictures of dialogs: the grey background, controls drawn plainly, hidden
// controls left out, text colours from the dialog, and what the dialog draws
// over its controls after painting (a preview in a frame).
#include <cairo.h>

#include "dialog_fixture.h"
#include "platform/gdi_export.h"

namespace dlgtest {
namespace {

using Strings = std::vector<std::string>;

class Picture {
 public:
  explicit Picture(const std::string& path)
      : s_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Picture() { cairo_surface_destroy(s_); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  bool ok() const { return cairo_surface_status(s_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(s_); }
  int height() const { return cairo_image_surface_get_height(s_); }
  COLORREF at(int x, int y) const {
    cairo_surface_flush(s_);
    auto* row = cairo_image_surface_get_data(s_) + y * cairo_image_surface_get_stride(s_);
    uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Whether any pixel of the rectangle has colour c.
  bool Any(RECT r, COLORREF c) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (at(x, y) == c) return true;
    return false;
  }

 private:
  cairo_surface_t* s_;
};

// Draws a "preview" into frame 201 from the private message a paint posts.
void DrawPreview(RecordingDialog& d) {
  RECT r;
  d.GetDlgItem(kFrame)->GetWindowRect(&r);
  d.ScreenToClient(&r);
  HDC hdc = d.GetDC();
  HGDIOBJ old = SelectObject(hdc, GetStockObject(BLACK_BRUSH));
  Rectangle(hdc, r.left, r.top, r.right, r.bottom);
  HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
  RECT inner = {r.left + 40, r.top + 40, r.left + 60, r.top + 60};
  FillRect(hdc, &inner, green);
  DeleteObject(green);
  SelectObject(hdc, old);
  d.ReleaseDC(hdc);
  ValidateRect(d.m_hWnd, &r);
}

TEST_F(DialogTest, PngActionSavesTheDialogAsItShows) {
  RecordingDialog d;
  d.onInit = [](RecordingDialog& self) {
    for (const char* s : {"alpha", "beta"}) {
      SendDlgItemMessage(self.m_hWnd, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
      SendDlgItemMessage(self.m_hWnd, kColours, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    SendDlgItemMessage(self.m_hWnd, kLibrary, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("lib"));
  };
  d.onPaint = [](RecordingDialog& self) { self.PostMessage(WM_USER + 10); };
  d.onUser = DrawPreview;
  std::string hidden = Path("hidden.png"), shown = Path("shown.png");
  d.onCommand = [](RecordingDialog& self, UINT id, UINT) {
    if (id == kBorder) self.GetDlgItem(kWarning)->ShowWindow(SW_SHOW);
    return false;
  };
  platform::QueueAction("set 101 Benzene");
  platform::QueueAction("select 106 1");
  platform::QueueAction("png " + hidden);
  platform::QueueAction("click 102");
  platform::QueueAction("select 105 0");
  platform::QueueAction("png " + shown);
  platform::QueueAction("png /nonexistent-dir/x.png");
  platform::QueueAction("ok");
  d.DoModal();
  EXPECT_EQ(console_, Strings{"ignored: png /nonexistent-dir/x.png"});

  Picture before(hidden), after(shown);
  ASSERT_TRUE(before.ok());
  ASSERT_TRUE(after.ok());
  EXPECT_EQ(after.width(), 410);
  EXPECT_EQ(after.height(), 300);
  EXPECT_EQ(after.at(3, 3), RGB(192, 192, 192));                  // background
  EXPECT_EQ(after.at(225, 12), RGB(255, 255, 255));               // the edit's field
  EXPECT_TRUE(after.Any({72, 10, 150, 28}, RGB(0, 0, 0)));        // its text
  EXPECT_TRUE(after.Any({11, 126, 229, 184}, RGB(0, 0, 128)));    // the list's selection
  EXPECT_TRUE(after.Any({11, 236, 229, 289}, RGB(0, 0, 0xFF)));   // owner-drawn items
  EXPECT_TRUE(after.Any({3, 42, 9, 56}, RGB(0xC0, 0xC0, 0xC0)));  // left of the check box
  EXPECT_TRUE(after.Any({10, 42, 24, 56}, RGB(0, 0, 0)));         // its mark and box
  EXPECT_EQ(after.at(270, 35), RGB(0, 0, 0));                     // the preview field
  EXPECT_EQ(after.at(310, 75), RGB(0, 200, 0));                   // drawn over the frame
  // The warning shows in red only once it is shown.
  EXPECT_FALSE(before.Any({10, 195, 230, 225}, RGB(255, 0, 0)));
  EXPECT_TRUE(after.Any({10, 195, 230, 225}, RGB(255, 0, 0)));
}

TEST_F(DialogTest, SaveDialogPngRefusesWhatIsNoWindow) {
  EXPECT_FALSE(platform::SaveDialogPNG(nullptr, Path("x.png")));
}

}  // namespace
}  // namespace dlgtest
