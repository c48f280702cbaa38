// Structure windows in a drawing view of 800 x 600: where the window
// functions put them, what their copies put on the clipboard, the options on
// a double click, and the values that outlive a window the user closed.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/common.h"
#include "database/drawrec.h"
#include "support/fakehost.h"
#include "support/records.h"
#include "windows/entries.h"
#include "windows/strucwnd.h"

namespace {

CSDRAWREC* Bond(const char* name) {
  CSDRAWREC* rec = OneBondRecord(name);
  rec->drawOpts.crItem[ITEM_SINGLEBONDS] = RGB(255, 255, 255);
  return rec;
}

void ClearClipboard() {
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
}

class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() {
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "ViewDrawClass";
    RegisterClass(&wc);
    main_ = CreateWindowEx(0, "ViewDrawClass", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                           700, nullptr, nullptr, nullptr, nullptr);
    view_ = CreateWindowEx(0, "ViewDrawClass", "", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, main_,
                           nullptr, nullptr, nullptr);
    host_.hwndMain = main_;
    host_.hwndView = view_;
    rec_ = Bond("CAS # 50-00-0");
    structure_.pWord3 = rec_;
  }
  ~WindowsTest() override {
    for (OBJ_BASECLASS* v : values_) Op(v, OBJOP_DESTROY);
    client_.reset();
    DestroyWindow(main_);
    std::free(rec_);
    platform::ClearActions();
  }
  CCpClient* Client() { return client_->get(); }
  short Op(OBJ_BASECLASS* v, unsigned short op, intptr_t p1 = 0, intptr_t p2 = 0) {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    return ChemStrucDrwOpCall(v, op, p1, p2, Client());
  }
  // CreateWindow with optional ranges (from, to); the value is kept.
  OBJ_BASECLASS* Create(std::vector<double> x = {}, std::vector<double> y = {},
                        OBJ_BASECLASS* structure = nullptr) {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    OBJ_BASECLASS number{};
    RANGE_OBJ rx{}, ry{};
    if (!x.empty()) rx.dFrom = x[0], rx.dTo = x[1];
    if (!y.empty()) ry.dFrom = y[0], ry.dTo = y[1];
    OBJ_BASECLASS* args[4] = {structure ? structure : &structure_, &number,
                              x.empty() ? nullptr : reinterpret_cast<OBJ_BASECLASS*>(&rx),
                              y.empty() ? nullptr : reinterpret_cast<OBJ_BASECLASS*>(&ry)};
    OBJ_BASECLASS* w = nullptr;
    status_ = ChemStrucWindow(Client(), args, &w);
    if (w) values_.push_back(w);
    return w;
  }
  static HWND Hwnd(OBJ_BASECLASS* w) { return static_cast<CWnd*>(w->pWord1)->m_hWnd; }
  // The window rectangle in the view's client coordinates.
  RECT Where(OBJ_BASECLASS* w) {
    RECT r;
    GetWindowRect(Hwnd(w), &r);
    POINT tl{r.left, r.top}, br{r.right, r.bottom};
    ScreenToClient(view_, &tl);
    ScreenToClient(view_, &br);
    return RECT{tl.x, tl.y, br.x - tl.x, br.y - tl.y};  // x, y, width, height
  }
  short Loc(OBJ_BASECLASS* first, std::vector<double> xy, bool byTitle = false) {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    OBJ_BASECLASS x{}, y{};
    x.dValue = xy[0];
    y.dValue = xy[1];
    OBJ_BASECLASS* args[3] = {first, &x, &y};
    return byTitle ? SetWindowLocStr(Client(), args) : ChemStrucSetWindowLoc(Client(), args);
  }
  OBJ_BASECLASS* Text(const char* s) {
    texts_.push_back(std::make_unique<CString>(s));
    auto* v = new OBJ_BASECLASS{};
    v->idType = ARG_STRING;
    v->pWord1 = texts_.back().get();
    owned_.emplace_back(v);
    return v;
  }
  std::string Describe(OBJ_BASECLASS* w) {
    BSTR s = nullptr;
    EXPECT_EQ(Op(w, OBJOP_DESCRIBE, reinterpret_cast<intptr_t>(&s)), 0);
    std::string out = s ? s : "";
    SysFreeString(s);
    return out;
  }

  fakehost::FakeProcessor host_;
  std::unique_ptr<fakehost::Client> client_ = std::make_unique<fakehost::Client>(host_);
  HWND main_, view_;
  CSDRAWREC* rec_;
  OBJ_BASECLASS structure_{};
  std::vector<OBJ_BASECLASS*> values_;
  std::vector<std::unique_ptr<CString>> texts_;
  std::vector<std::unique_ptr<OBJ_BASECLASS>> owned_;
  short status_ = 0;
};

bool Same(RECT r, int x, int y, int w, int h) {
  return r.left == x && r.top == y && r.right == w && r.bottom == h;
}

TEST_F(WindowsTest, FractionsOfTheViewPlaceWindows) {
  OBJ_BASECLASS* a = Create({0, 0.5}, {0.5, 1});
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(Same(Where(a), 0, 0, 400, 300));
  EXPECT_TRUE(Same(Where(Create()), 0, 540, 80, 60));
  OBJ_BASECLASS* c = Create({0.25, 0.75}, {0.25, 0.75});
  EXPECT_TRUE(Same(Where(c), 200, 150, 400, 300));
  // Fractions far out of range are held, not overflowed.
  EXPECT_NE(Create({-1e12, 1e12}, {-1e12, 1e12}), nullptr);

  EXPECT_EQ(Loc(a, {2, -1}), 0);
  EXPECT_TRUE(Same(Where(a), 800, 600, 400, 300));
  SetWindowText(Hwnd(c), "Sample Data");
  EXPECT_EQ(Loc(Text("sample"), {0.5, 0.5}, true), 0);
  EXPECT_TRUE(Same(Where(c), 400, 300, 400, 300));
  EXPECT_EQ(Loc(Text("nosuch"), {0, 0}, true), 540);
  EXPECT_EQ(Loc(Text(""), {0, 0}, true), 540) << "an empty key matches no title";
  SetWindowText(Hwnd(c), "\xC4rger \xFC");  // titles past ASCII compare as bytes
  EXPECT_EQ(Loc(Text("\xC4RGER"), {0, 0}, true), 0);
  EXPECT_TRUE(Same(Where(c), 0, 600, 400, 300));

  ShowWindow(Hwnd(c), SW_MAXIMIZE);
  EXPECT_TRUE(Same(Where(c), 0, 0, 800, 600));
}

TEST_F(WindowsTest, EveryCopyOfAWindowPutsTheSameBlocks) {
  OBJ_BASECLASS* w = Create({0, 0.5}, {0.5, 1});
  ASSERT_NE(w, nullptr);
  // A client area of 300 x 200, whatever the frame around it.
  RECT window, client;
  GetWindowRect(Hwnd(w), &window);
  GetClientRect(Hwnd(w), &client);
  SetWindowPos(Hwnd(w), nullptr, 0, 0, 300 + (window.right - window.left) - client.right,
               200 + (window.bottom - window.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
  const UINT cfPrivate = RegisterClipboardFormat("ZQCHEMSTRUC");
  auto blocks = [&] {
    std::vector<std::string> b{ClipboardBlock(CF_DSPTEXT), ClipboardBlock(cfPrivate)};
    std::string pict = ClipboardBlock(CF_METAFILEPICT);
    if (pict.size() == sizeof(METAFILEPICT)) {
      METAFILEPICT p;
      std::memcpy(&p, pict.data(), sizeof p);
      b.push_back(std::to_string(p.mm) + " " + std::to_string(p.xExt) + " " +
                  std::to_string(p.yExt));
      std::string bits(GetMetaFileBitsEx(p.hMF, 0, nullptr), '\0');
      GetMetaFileBitsEx(p.hMF, static_cast<UINT>(bits.size()), bits.data());
      b.push_back(bits);
    }
    ClearClipboard();
    return b;
  };
  SendMessage(Hwnd(w), WM_CHAR, 3, 0);
  const auto key = blocks();
  ASSERT_EQ(key.size(), 4u);
  EXPECT_EQ(key[2], "8 7500 5000");
  SendMessage(Hwnd(w), WM_SYSCOMMAND, 300, 0);
  EXPECT_EQ(blocks(), key);
  OBJ_BASECLASS* result = nullptr;
  {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    EXPECT_EQ(CopyFuncWnd(Client(), &w, &result), 0);
  }
  delete result;
  EXPECT_EQ(blocks(), key);
  // A minimised window has no area to copy.
  ShowWindow(Hwnd(w), SW_MINIMIZE);
  SendMessage(Hwnd(w), WM_CHAR, 3, 0);
  EXPECT_EQ(blocks().size(), 2u);
  EXPECT_EQ(ClipboardBlock(CF_DSPTEXT), "");
}

TEST_F(WindowsTest, DoubleClickEditsTheWindowsOwnRecord) {
  OBJ_BASECLASS* a = Create();
  OBJ_BASECLASS* b = Create();
  auto* wa = static_cast<CChemStructureWindow*>(a->pWord1);
  auto* wb = static_cast<CChemStructureWindow*>(b->pWord1);
  platform::QueueAction("cancel");
  SendMessage(Hwnd(a), WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_EQ(wa->m_pRecord->drawOpts.crItem[0], RGB(255, 255, 255));
  platform::QueueAction("click 203");
  platform::QueueAction("color 255 0 0");
  platform::QueueAction("ok");
  SendMessage(Hwnd(a), WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_EQ(wa->m_pRecord->drawOpts.crItem[0], RGB(255, 0, 0));
  EXPECT_EQ(wb->m_pRecord->drawOpts.crItem[0], RGB(255, 255, 255));
  EXPECT_EQ(rec_->drawOpts.crItem[0], RGB(255, 255, 255)) << "the object keeps its own";
}

TEST_F(WindowsTest, ValuesOutliveAClosedWindowAndTheLastOneTakesTheObject) {
  OBJ_BASECLASS* w = Create();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Describe(w), "Window: CAS # 50-00-0");
  const HWND hwnd = Hwnd(w);
  // Two duplicates and three destroys: the window goes with the last.
  OBJ_BASECLASS *d1 = nullptr, *d2 = nullptr;
  ASSERT_EQ(Op(w, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&d1)), 0);
  ASSERT_EQ(Op(w, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&d2)), 0);
  values_.clear();
  Op(w, OBJOP_DESTROY);
  Op(d1, OBJOP_DESTROY);
  EXPECT_TRUE(IsWindow(hwnd));
  Op(d2, OBJOP_DESTROY);
  EXPECT_FALSE(IsWindow(hwnd));

  // The user closes one: its values report it gone, and still duplicate.
  OBJ_BASECLASS* v = Create();
  SendMessage(Hwnd(v), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(Describe(v), "Window: ");
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  OBJ_BASECLASS one{};
  OBJ_BASECLASS* show[2] = {v, &one};
  EXPECT_EQ(ChemStrucShowWindow(Client(), show), 534);
  OBJ_BASECLASS* title[2] = {v, Text("x")};
  EXPECT_EQ(ChemStrucSetWindowText(Client(), title), 534);
  OBJ_BASECLASS* text = nullptr;
  EXPECT_EQ(ChemStrucGetWindowText(Client(), &v, &text), 532);
  EXPECT_EQ(Loc(v, {0, 0}), 532);
  OBJ_BASECLASS* copy = nullptr;
  ASSERT_EQ(Op(v, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&copy)), 0);
  ASSERT_NE(copy, nullptr);
  values_.push_back(copy);
  EXPECT_EQ(Op(v, 9), 537);

  // A record that cannot be copied leaves no window behind.
  CSDRAWREC* damaged = Bond("x");
  damaged->cbTotal = 70000;
  OBJ_BASECLASS bad{};
  bad.pWord3 = damaged;
  const HWND last = GetWindow(view_, GW_CHILD);
  EXPECT_EQ(Create({}, {}, &bad), nullptr);
  EXPECT_EQ(status_, 514);
  EXPECT_EQ(GetWindow(view_, GW_CHILD), last);
  std::free(damaged);
}

TEST_F(WindowsTest, TheClientsEndTakesItsWindows) {
  OBJ_BASECLASS* w = Create();
  ASSERT_NE(w, nullptr);
  const HWND hwnd = Hwnd(w);
  values_.clear();
  client_.reset();  // server message 6
  EXPECT_FALSE(IsWindow(hwnd));
  delete static_cast<CChemStructureWindow*>(w->pWord1);
  delete w;
}

}  // namespace
