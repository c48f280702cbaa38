// Framework windows made by CreateEx, the system menu, and the non-client
// area of framed children: rectangles, show states and pictures.
#include <afxdlg.h>
#include <cairo.h>
#include <platform/gdi_export.h>

#include <string>
#include <vector>

#include "fixture.h"

namespace {

constexpr DWORD kFramed = WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;

// Keeps the messages its WindowProc sees and whether it was finished.
class Probe : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(message);
    if (message == WM_SIZE) sizes.push_back(wParam);
    return CWnd::WindowProc(message, wParam, lParam);
  }
  void PostNcDestroy() override { finishedDetached = m_hWnd == nullptr; }
  std::vector<UINT> seen;
  std::vector<WPARAM> sizes;
  bool finishedDetached = false;
};

class FrameWindowTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    static HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    cls_ = AfxRegisterWndClass(0, nullptr, green);
    ASSERT_TRUE(
        view_.CreateEx(0, cls_, "View", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr));
  }
  void TearDown() override {
    view_.DestroyWindow();
    PlatformTest::TearDown();
  }
  bool Make(Probe& w, int x, int y, int cx, int cy, LPCSTR title = "Benzene") {
    return w.CreateEx(0, cls_, title, kFramed, x, y, cx, cy, view_.m_hWnd, nullptr);
  }
  static std::vector<LONG> R(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
  COLORREF PngPixel(const std::string& path, int x, int y) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    const unsigned char* row =
        cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    const unsigned char* px = row + 4 * x;  // BGRA
    COLORREF c = RGB(px[2], px[1], px[0]);
    cairo_surface_destroy(s);
    return c;
  }
  LPCSTR cls_ = nullptr;
  Probe view_;
};

TEST_F(FrameWindowTest, CreateExAttachesBeforeCreationAndDetachesAtTheEnd) {
  Probe w;
  ASSERT_TRUE(Make(w, 10, 10, 100, 80));
  ASSERT_GE(w.seen.size(), 2u);
  EXPECT_EQ(w.seen[0], static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(w.seen[1], static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(CWnd::FromHandle(w.m_hWnd), &w);
  char title[16];
  EXPECT_EQ(GetWindowText(w.m_hWnd, title, sizeof title), 7);  // default processing ran
  HWND h = w.m_hWnd;
  EXPECT_TRUE(w.DestroyWindow());
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(w.finishedDetached);
  EXPECT_EQ(w.m_hWnd, nullptr);
  EXPECT_EQ(w.seen.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_NE(CWnd::FromHandle(h), &w);
}

TEST_F(FrameWindowTest, SystemMenuItemsEditedByPositionAndCommand) {
  Probe w;
  ASSERT_TRUE(Make(w, 0, 0, 100, 80));
  HMENU menu = GetSystemMenu(w.m_hWnd, FALSE);
  ASSERT_NE(menu, nullptr);
  auto listing = [&] {
    std::string out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[32];
      GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      out += std::to_string(GetMenuItemID(menu, i)) + ":" + text + "|";
    }
    return out;
  };
  EXPECT_EQ(listing(),
            "61728:&Restore|61456:&Move|61440:&Size|61472:Mi&nimize|61488:Ma&ximize|0:|"
            "61536:&Close\tCtrl+F4|0:|61504:Nex&t\tCtrl+F6|");
  EXPECT_TRUE(DeleteMenu(menu, 8, MF_BYPOSITION));
  EXPECT_TRUE(AppendMenu(menu, MF_STRING, 300, "&Copy"));
  EXPECT_TRUE(DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND));
  EXPECT_FALSE(DeleteMenu(menu, 9, MF_BYPOSITION));
  EXPECT_EQ(listing(),
            "61728:&Restore|61440:&Size|61472:Mi&nimize|61488:Ma&ximize|0:|"
            "61536:&Close\tCtrl+F4|0:|300:&Copy|");
  EXPECT_EQ(GetMenuItemID(menu, 8), static_cast<UINT>(-1));
  w.DestroyWindow();
}

TEST_F(FrameWindowTest, FramedChildHasItsClientInsideFrameAndCaption) {
  Probe w;
  ASSERT_TRUE(Make(w, 20, 30, 400, 300));
  RECT r;
  GetClientRect(w.m_hWnd, &r);
  EXPECT_EQ(R(r), (std::vector<LONG>{0, 0, 400 - 2 * 4, 300 - 18 - 2 * 4}));
  POINT p = {0, 0};
  ClientToScreen(w.m_hWnd, &p);
  EXPECT_EQ(p.x, 20 + 4);
  EXPECT_EQ(p.y, 30 + 22);
  ScreenToClient(w.m_hWnd, &p);
  EXPECT_EQ(p.x, 0);
  GetWindowRect(w.m_hWnd, &r);
  EXPECT_EQ(R(r), (std::vector<LONG>{20, 30, 420, 330}));
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 18);
  GetClientRect(view_.m_hWnd, &r);  // a top-level window has no frame
  EXPECT_EQ(R(r), (std::vector<LONG>{0, 0, 600, 400}));
  w.DestroyWindow();
}

TEST_F(FrameWindowTest, MaximisedAndMinimisedChildrenKeepTheirNormalPlace) {
  Probe a, b;
  ASSERT_TRUE(Make(a, 20, 30, 200, 100));
  ASSERT_TRUE(Make(b, 50, 60, 200, 100));
  ShowWindow(a.m_hWnd, SW_MAXIMIZE);
  EXPECT_EQ(a.sizes.back(), static_cast<WPARAM>(SIZE_MAXIMIZED));
  RECT r;
  GetWindowRect(a.m_hWnd, &r);
  EXPECT_EQ(R(r), (std::vector<LONG>{0, 0, 600, 400}));  // the parent's client area
  SendMessage(b.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SendMessage(a.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(a.m_hWnd));
  EXPECT_EQ(a.sizes.back(), static_cast<WPARAM>(SIZE_MINIMIZED));
  GetWindowRect(b.m_hWnd, &r);  // first minimised: leftmost, along the bottom
  EXPECT_EQ(R(r), (std::vector<LONG>{0, 374, 160, 400}));
  GetWindowRect(a.m_hWnd, &r);
  EXPECT_EQ(R(r), (std::vector<LONG>{160, 374, 320, 400}));
  GetClientRect(a.m_hWnd, &r);
  EXPECT_EQ(R(r), (std::vector<LONG>{0, 0, 0, 0}));
  WINDOWPLACEMENT wp = {};
  ASSERT_TRUE(GetWindowPlacement(b.m_hWnd, &wp));
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  EXPECT_EQ(R(wp.rcNormalPosition), (std::vector<LONG>{50, 60, 250, 160}));
  SendMessage(b.m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  GetWindowRect(b.m_hWnd, &r);
  EXPECT_EQ(R(r), (std::vector<LONG>{50, 60, 250, 160}));
  EXPECT_EQ(b.sizes.back(), static_cast<WPARAM>(SIZE_RESTORED));
  SendMessage(b.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);  // WM_CLOSE's default destroys
  EXPECT_EQ(b.m_hWnd, nullptr);
  a.DestroyWindow();
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(FrameWindowTest, PictureDrawsFrameCaptionAndPendingPaints) {
  Probe w;
  ASSERT_TRUE(Make(w, 20, 30, 200, 100));
  SendMessage(w.m_hWnd, WM_NCACTIVATE, TRUE, 0);
  InvalidateRect(w.m_hWnd, nullptr, TRUE);  // erased to the class's green when pumped
  const std::string png = Path("view.png");
  ASSERT_TRUE(platform::SaveWindowPNG(view_.m_hWnd, png));
  EXPECT_EQ(PngPixel(png, 21, 31), RGB(192, 192, 192));         // the frame
  EXPECT_EQ(PngPixel(png, 200, 36), RGB(0, 0, 128));            // the caption, active
  EXPECT_EQ(PngPixel(png, 24 + 100, 52 + 40), RGB(0, 255, 0));  // the client area
  EXPECT_EQ(PngPixel(png, 5, 5), RGB(0, 255, 0));               // the view itself
  SendMessage(w.m_hWnd, WM_NCACTIVATE, FALSE, 0);
  ASSERT_TRUE(platform::SaveWindowPNG(view_.m_hWnd, png));
  EXPECT_EQ(PngPixel(png, 200, 36), RGB(128, 128, 128));
  w.DestroyWindow();
}

// A child painting in WM_PAINT, as the plug-in's structure window does.
class Painter : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_PAINT) return CWnd::WindowProc(message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWnd, &ps);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT corner = {0, 0, 2, 2};
    FillRect(hdc, &corner, red);
    DeleteObject(red);
    EndPaint(m_hWnd, &ps);
    return 0;
  }
};

// The child's black class background and its surface belong inside its
// client area only: the white view around and between children stays white.
TEST_F(FrameWindowTest, ChildBackgroundStaysInsideItsClientArea) {
  static LPCSTR white = AfxRegisterWndClass(0, nullptr, GetStockObject(WHITE_BRUSH));
  static LPCSTR black = AfxRegisterWndClass(CS_DBLCLKS, nullptr, GetStockObject(BLACK_BRUSH));
  CWnd view;
  ASSERT_TRUE(view.CreateEx(0, white, "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
  constexpr DWORD kStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                           WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  Painter left, right;
  ASSERT_TRUE(left.CreateEx(0, black, "", kStyle, 16, 12, 384, 378, view.m_hWnd, nullptr));
  ASSERT_TRUE(right.CreateEx(0, black, "", kStyle, 440, 12, 200, 378, view.m_hWnd, nullptr));
  for (CWnd* w : {&left, &right}) {
    w->ShowWindow(SW_SHOWNORMAL);
    BringWindowToTop(w->m_hWnd);
  }
  const std::string png = Path("children.png");
  ASSERT_TRUE(platform::SaveWindowPNG(view.m_hWnd, png));
  constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
  EXPECT_EQ(PngPixel(png, 5, 5), kWhite);                     // above-left of the child
  EXPECT_EQ(PngPixel(png, 300, 5), kWhite);                   // above it
  EXPECT_EQ(PngPixel(png, 8, 300), kWhite);                   // left of it
  EXPECT_EQ(PngPixel(png, 420, 200), kWhite);                 // between the two children
  EXPECT_EQ(PngPixel(png, 700, 200), kWhite);                 // right of both
  EXPECT_EQ(PngPixel(png, 16 + 4, 12 + 22), RGB(255, 0, 0));  // its paint, at its client origin
  EXPECT_EQ(PngPixel(png, 16 + 4 + 100, 12 + 22 + 100), kBlack);
  EXPECT_EQ(PngPixel(png, 16 + 384 - 5, 12 + 378 - 5), kBlack);  // the client's far corner
  EXPECT_EQ(PngPixel(png, 440 + 4 + 100, 12 + 22 + 100), kBlack);
  view.DestroyWindow();
}

}  // namespace
