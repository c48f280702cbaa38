// MFDump and MDLSKDump: listings of structure pictures and of hand-made
// metafiles, byte for byte; records that claim more than they hold; the
// failures that leave no file; the main window's state kept.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/entries.h"
#include "core/app.h"
#include "core/common.h"
#include "objects/entries.h"
#include "support/fakehost.h"
#include "support/records.h"
#include "testutil/tempdir.h"

namespace {

std::string Le16(int v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string Le32(uint32_t v) {
  return Le16(static_cast<int>(v & 0xFFFF)) + Le16(static_cast<int>(v >> 16));
}

// A metafile written record by record; parameters as 16-bit words, or raw
// bytes padded to a whole word.
class Wmf {
 public:
  Wmf& Rec(int fn, const std::vector<int>& params = {}) {
    std::string p;
    for (int v : params) p += Le16(v);
    return Raw(fn, p);
  }
  Wmf& Raw(int fn, std::string params) {
    if (params.size() % 2) params += '\0';
    records_ += Le32(static_cast<uint32_t>(3 + params.size() / 2)) + Le16(fn) + params;
    return *this;
  }
  std::string Bits() const {
    const std::string body = records_ + Le32(3) + Le16(0);
    return Le16(1) + Le16(9) + Le16(0x300) + Le32(static_cast<uint32_t>(9 + body.size() / 2)) +
           Le16(0) + Le32(0) + Le16(0) + body;
  }

 private:
  std::string records_;
};

void PutWmf(const std::string& bits, LONG mm, LONG xExt, LONG yExt) {
  HMETAFILE hmf =
      SetMetaFileBitsEx(static_cast<UINT>(bits.size()), reinterpret_cast<const BYTE*>(bits.data()));
  ASSERT_NE(hmf, nullptr);
  PutPicture(hmf, mm, xExt, yExt);
}

const std::string kGap = "         ";  // where four bytes of a short hex line would be

class DumpTest : public ::testing::Test {
 protected:
  DumpTest() {
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "DumpTestMain";
    RegisterClass(&wc);
    main_ = CreateWindowEx(0, "DumpTestMain", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                           700, nullptr, nullptr, nullptr, nullptr);
    host_.hwndMain = main_;
    path_ = tmp_.file("out.txt");
    pathArg_.idType = ARG_STRING;
    pathArg_.pWord1 = &pathText_;
    pathText_ = path_.c_str();
  }
  ~DumpTest() override {
    platform::ClearFaults();
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(main_);
  }
  short Dump(CommandEntry cmd, bool withPath = true) {
    OBJ_BASECLASS* args[1] = {withPath ? &pathArg_ : nullptr};
    return cmd(client_.get(), args);
  }
  std::string Listing() {
    EXPECT_EQ(Dump(DumpMetaFileCmd), 0);
    return testutil::ReadFileBytes(path_);
  }
  bool Written() const { return std::filesystem::exists(path_); }

  testutil::TempDir tmp_;
  fakehost::FakeProcessor host_;
  fakehost::Client client_{host_};
  HWND main_ = nullptr;
  std::string path_;
  CString pathText_;
  OBJ_BASECLASS pathArg_{};
};

TEST_F(DumpTest, ListsAStructurePicture) {
  CSDRAWREC* rec = OneBondRecord("Bond");
  OBJ_BASECLASS obj{};
  obj.idType = GetDllInfo(client_.get())->idStrucType;
  obj.pWord3 = rec;
  OBJ_BASECLASS* arg = &obj;
  OBJ_BASECLASS* result = nullptr;
  {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    ASSERT_EQ(CopyFuncObj(client_.get(), &arg, &result), 0);
  }
  delete result;
  std::free(rec);
  METAFILEPICT pict{};
  std::memcpy(&pict, ClipboardBlock(CF_METAFILEPICT).data(), sizeof pict);
  const std::string listing = Listing();
  const std::string header =
      "Map mode: MM_ANISOTROPIC,  xExt: " + std::to_string(pict.xExt) + ",  yExt: 5000\r\n";
  EXPECT_EQ(listing.substr(0, header.size()), header);
  EXPECT_NE(listing.find("\r\n0x0214: MoveTo (4, 4)\r\n0x0213: LineTo (44, 4)\r\n"),
            std::string::npos);
  EXPECT_EQ(listing.substr(listing.size() - 12), "\r\n0x0000: \r\n");
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(DumpTest, ListsEveryRecordKindByteForByte) {
  std::string font = Le16(-12) + Le16(0) + Le16(0) + Le16(0) + Le16(700);
  font += std::string("\0\0\0\xEE\0\0\0\x22", 8) + std::string("Arial\0", 6);
  std::string escape;
  for (char c = 'A'; c <= 'Z'; ++c) escape += c;
  escape += std::string("\x00\x1F\x7F\x80", 4);
  Wmf wmf;
  wmf.Rec(0x001E)
      .Rec(0x0103, {8})
      .Rec(0x020C, {500, 1000})
      .Rec(0x020B, {-10, -20})
      .Rec(0x0102, {1})
      .Rec(0x0104, {13})
      .Rec(0x0201, {0xFFFF, 0x00FF})
      .Rec(0x0209, {0, 0})
      .Rec(0x012E, {24})
      .Rec(0x02FA, {0, 2, 0, 0, 0})
      .Rec(0x02FC, {1, 0, 0, 0})
      .Raw(0x02FB, font)
      .Rec(0x012D, {0})
      .Rec(0x0214, {7, 3})
      .Rec(0x0213, {-7, 300})
      .Rec(0x0324, {2, 0, 0, 5, 5})
      .Rec(0x0416, {100, 100, 0, 0})
      .Rec(0x041B, {10, 10, 0, 0})
      .Raw(0x0521, Le16(5) + "Hello" + '\0' + Le16(1) + Le16(2))
      .Raw(0x0626, Le16(15) + Le16(30) + escape)
      .Rec(0x0B41, std::vector<int>(10, 0))
      .Rec(0x01F0, {0})
      .Rec(0x0127, {-1})
      .Rec(0x0999, {1});
  PutWmf(wmf.Bits(), MM_ANISOTROPIC, 2540, -1270);
  EXPECT_EQ(Listing(),
            "Map mode: MM_ANISOTROPIC,  xExt: 2540,  yExt: -1270\r\n"
            "0x001E: (SaveDC)\r\n"
            "0x0103: SetMapMode MM_ANISOTROPIC\r\n"
            "0x020C: SetWindowExt (1000, 500)\r\n"
            "0x020B: SetWindowOrg (-20, -10)\r\n"
            "0x0102: SetBkMode (1)\r\n"
            "0x0104: (SetROP2)\r\n"
            "0x0201: (SetBkColor)\r\n"
            "0x0209: (SetTextColor)\r\n"
            "0x012E: SetTextAlign (24)\r\n"
            "0x02FA: CreatePenIndirect Style:0, w:(2, 0)\r\n"
            "0x02FC: CreateBrushIndirect (1)\r\n"
            "0x02FB: CreateFontIndirect Arial, P&F:0x22, h:-12, w:0, wt:700, cs:0xEE\r\n"
            "0x012D: SelectObject (0)\r\n"
            "0x0214: MoveTo (3, 7)\r\n"
            "0x0213: LineTo (300, -7)\r\n"
            "0x0324: \r\n"
            "0x0416: (IntersectClipRect)\r\n"
            "0x041B: (Rectangle)\r\n"
            "0x0521: Text: Hello\r\n"
            "0x0626: Escape (15, 30)\r\n"
            " 41424344 45464748 494A4B4C 4D4E4F50 51525354 55565758 ABCDEFGHIJKLMNOPQRSTUVWX\r\n"
            " 595A001F 7F80    " +
                kGap + kGap + kGap + kGap +
                " YZ....\r\n"
                "0x0B41: (StretchBlt)\r\n"
                "0x01F0: DeleteObject (0)\r\n"
                "0x0127: (RestoreDC)\r\n"
                "0x0999: \r\n"
                "0x0000: \r\n");
}

TEST_F(DumpTest, RecordsThatClaimMoreThanTheyHoldListOnlyWhatTheyHold) {
  const std::string noNulFace = std::string(18, '\0') + "Tahoma";
  Wmf wmf;
  wmf.Raw(0x0521, Le16(60000) + "ab")
      .Raw(0x0626, Le16(15) + Le16(1000) + "WXYZ")
      .Rec(0x02FB, {-12, 0, 0})
      .Raw(0x02FB, noNulFace)
      .Rec(0x02FA, {5})
      .Rec(0x0103, {42})
      .Rec(0x0102)
      .Rec(0x0213, {9})
      .Raw(0x0521, Le16(300) + std::string(300, 't'));
  PutWmf(wmf.Bits(), 0, 1, 2);
  EXPECT_EQ(Listing(),
            "Map mode: 0,  xExt: 1,  yExt: 2\r\n"
            "0x0521: Text: ab\r\n"
            "0x0626: Escape (15, 1000)\r\n"
            " 5758595A" +
                kGap + kGap + kGap + kGap + kGap +
                " WXYZ\r\n"
                "0x02FB: CreateFontIndirect\r\n"
                "0x02FB: CreateFontIndirect Tahoma, P&F:0x0, h:0, w:0, wt:0, cs:0x0\r\n"
                "0x02FA: CreatePenIndirect\r\n"
                "0x0103: SetMapMode 42\r\n"
                "0x0102: \r\n"
                "0x0213: \r\n"
                "0x0521: Text: " +
                std::string(300, 't') + "\r\n0x0000: \r\n");
}

TEST_F(DumpTest, FailuresLeaveNoFileAndTheMainWindowAsItWas) {
  const int handles = platform::OpenFileHandles();
  PutWmf(Wmf().Rec(0x001E).Bits(), MM_TEXT, 0, 0);
  EXPECT_EQ(Dump(DumpMetaFileCmd, false), 534);
  host_.hwndMain = nullptr;
  EXPECT_EQ(Dump(DumpMetaFileCmd), 534);
  host_.hwndMain = main_;
  ASSERT_EQ(host_.errors.size(), 2u);
  EXPECT_EQ(host_.errors[0].second, "Bad parameter (1) passed to function or command");
  EXPECT_FALSE(Written());

  // A full disk at the second line; a disabled main window stays disabled.
  EnableWindow(main_, FALSE);
  const HCURSOR cursor = GetCursor();
  platform::InjectFault(platform::FaultOp::WriteFile, 2, platform::FaultKind::DiskFull);
  EXPECT_EQ(Dump(DumpMetaFileCmd), 0);
  EXPECT_FALSE(Written());
  EXPECT_FALSE(IsWindowEnabled(main_));
  EXPECT_EQ(GetCursor(), cursor);
  EnableWindow(main_, TRUE);
  platform::ClearFaults();

  EXPECT_EQ(Listing(), "Map mode: MM_TEXT,  xExt: 0,  yExt: 0\r\n0x001E: (SaveDC)\r\n0x0000: \r\n");
  EXPECT_TRUE(IsWindowEnabled(main_));
  std::filesystem::remove(path_);
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(Dump(DumpMetaFileCmd), 0);
  EXPECT_FALSE(Written());
  EXPECT_EQ(host_.errors.size(), 2u);
  EXPECT_EQ(platform::OpenFileHandles(), handles);
}

TEST_F(DumpTest, MdlskDumpWritesTheBlockAsItIs) {
  std::string bytes(37, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 250);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
  GlobalUnlock(h);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(GetStructApp().m_cfMDLSK, h);
  CloseClipboard();

  EnableWindow(main_, FALSE);
  const int busy = hostutil::BusyCursorCalls();
  EXPECT_EQ(Dump(DumpMDLSKCmd), 0);
  EXPECT_EQ(testutil::ReadFileBytes(path_), bytes);
  EXPECT_FALSE(IsWindowEnabled(main_));
  EnableWindow(main_, TRUE);

  std::filesystem::remove(path_);
  platform::InjectFault(platform::FaultOp::WriteFile, 1, platform::FaultKind::DiskFull);
  EXPECT_EQ(Dump(DumpMDLSKCmd), 0);
  EXPECT_FALSE(Written());
  EXPECT_TRUE(IsWindowEnabled(main_));
  EXPECT_EQ(Dump(DumpMDLSKCmd, false), 534);
  EXPECT_EQ(hostutil::BusyCursorCalls(), busy + 6);
  EXPECT_EQ(host_.errors.size(), 1u);
}

}  // namespace
