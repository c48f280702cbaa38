// Metafile pictures on the clipboard and on disk, and the CSCOPY forms.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>

#include "convert/molimport.h"
#include "core/app.h"
#include "database/lookup.h"
#include "objects/entries.h"
#include "render/metafile.h"
#include "support/fakehost.h"
#include "support/records.h"
#include "support/libbytes.h"
#include "testutil/tempdir.h"

namespace {

std::string PictureBits(METAFILEPICT* pict) {
  std::string raw = ClipboardBlock(CF_METAFILEPICT);
  if (raw.size() != sizeof(METAFILEPICT)) return "";
  std::memcpy(pict, raw.data(), sizeof *pict);
  std::string bits(GetMetaFileBitsEx(pict->hMF, 0, nullptr), '\0');
  GetMetaFileBitsEx(pict->hMF, static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

std::vector<UINT> Formats() {
  std::vector<UINT> out;
  OpenClipboard(nullptr);
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
  CloseClipboard();
  return out;
}

void SetClipText(const char* text) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(h), text, std::strlen(text) + 1);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
}

class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetSystemDirectory(tmp_.path().string());
    std::vector<int32_t> off;
    testutil::WriteFileBytes(
        tmp_.file("lib.sdb"),
        libbytes::DataFile(0, {libbytes::SimpleBody(0, 0, 40, 0, "Ethane-ish")}, &off));
    testutil::WriteFileBytes(tmp_.file("lib.ind"), libbytes::IndexFile({{50000, off[0]}}));
    testutil::WriteFileBytes(tmp_.file("struct.ini"),
                             "[Databases]\r\nA=" + tmp_.file("lib.sdb") + "\r\n");
  }
  void TearDown() override { platform::SetSystemDirectory(""); }
  OBJ_BASECLASS* Arg(OBJ_BASECLASS* v) {
    args_.push_back(v);
    return v;
  }
  short Copy(FunctionEntry fn, OBJ_BASECLASS* arg) {
    OBJ_BASECLASS* result = nullptr;
    short status = fn(client_.get(), &arg, &result);
    EXPECT_NE(result, nullptr);
    if (result) {
      EXPECT_EQ(result->dValue, status);
      delete result;
    }
    return status;
  }
  ~CopyTest() override {
    for (OBJ_BASECLASS* v : args_) {
      if (v->idType == ARG_STRING) delete static_cast<CString*>(v->pWord1);
      delete v;
    }
  }

  testutil::TempDir tmp_;
  fakehost::FakeProcessor host_;
  fakehost::Client client_{host_};
  std::vector<OBJ_BASECLASS*> args_;
};

TEST(PictureExtentsTest, FiftyMillimetresHigh) {
  LONG x, y;
  RECT r{0, 0, 300, 200};
  PictureExtents(&r, &x, &y);
  EXPECT_EQ(x, 7500);
  EXPECT_EQ(y, 5000);
  r = RECT{0, 0, 300, 300};
  PictureExtents(&r, &x, &y);
  EXPECT_EQ(x, 4800);  // 5000 / 300 is taken as 16
  r = RECT{0, 0, 300, 6000};
  PictureExtents(&r, &x, &y);
  EXPECT_EQ(x, 0);
}

TEST_F(CopyTest, NumberAndTextCopyTheSamePicture) {
  auto* number = new OBJ_BASECLASS{};
  number->dValue = 50000;
  auto* text = new OBJ_BASECLASS{};
  text->idType = ARG_STRING;
  text->pWord1 = new CString("50-00-0");
  ASSERT_EQ(Copy(CopyFuncInt, Arg(number)), 0);
  const UINT cfPrivate = GetStructApp().m_cfChemStruc;
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_DSPTEXT, CF_METAFILEPICT, cfPrivate}));
  EXPECT_EQ(ClipboardBlock(CF_DSPTEXT),
            std::string("Chemical structure drawing: Ethane-ish") + '\0');
  METAFILEPICT a{}, b{};
  const std::string bitsA = PictureBits(&a);
  const std::string recordA = ClipboardBlock(cfPrivate);
  ASSERT_EQ(Copy(CopyFuncStr, Arg(text)), 0);
  const std::string bitsB = PictureBits(&b);
  EXPECT_FALSE(bitsA.empty());
  EXPECT_EQ(bitsA, bitsB);
  EXPECT_EQ(recordA, ClipboardBlock(cfPrivate));
  EXPECT_EQ(a.mm, MM_ANISOTROPIC);
  EXPECT_EQ(a.yExt, 5000);
  EXPECT_EQ(a.xExt, b.xExt);
  // The private copy is the record after drawing: centred, bounds fresh.
  ASSERT_GE(recordA.size(), sizeof(CSDRAWREC));
  const auto* rec = reinterpret_cast<const CSDRAWREC*>(recordA.data());
  EXPECT_EQ(rec->cbTotal, recordA.size());
  EXPECT_EQ(rec->rcBounds.left, -24);

  auto* missing = new OBJ_BASECLASS{};
  missing->dValue = 12345;
  EXPECT_EQ(Copy(CopyFuncInt, Arg(missing)), 526);
}

TEST_F(CopyTest, ObjectCopyClearsAPendingTurnAndMeasuresFreshImports) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  CSDRAWREC* rec = nullptr;
  ASSERT_EQ(LoadStructureFromFile(&host_, GetDllInfo(client_.get()), tmp_.file("lib.sdb").c_str(),
                                  50000, &rec),
            0);
  rec->drawOpts.bRotate = 1;
  auto* obj = new OBJ_BASECLASS{};
  obj->idType = GetDllInfo(client_.get())->idStrucType;
  obj->pWord3 = rec;
  ASSERT_EQ(Copy(CopyFuncObj, Arg(obj)), 0);
  EXPECT_EQ(rec->drawOpts.bRotate, 0);
  EXPECT_EQ(RecPoint(rec, 0).x, 0);  // turned upright
  METAFILEPICT pict{};
  EXPECT_FALSE(PictureBits(&pict).empty());
  std::free(rec);

  // A MOL import carries no bounds until drawn; the copy measures it first.
  testutil::WriteFileBytes(tmp_.file("m.mol"),
                           "M\r\n\r\n\r\n  2  1\r\n 0 0 0 C\r\n 1.5 0 0 O\r\n  1  2  1\r\n");
  CSDRAWREC* imported = nullptr;
  ASSERT_EQ(
      MolToStructure(&host_, GetDllInfo(client_.get()), tmp_.file("m.mol").c_str(), &imported), 0);
  obj->pWord3 = imported;
  ASSERT_EQ(Copy(CopyFuncObj, obj), 0);
  EXPECT_NE(PictureBits(&pict), "");
  EXPECT_GT(pict.xExt, 0);
  std::free(imported);
  obj->pWord3 = nullptr;
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(CopyTest, FileNameLeavesTheClipboardAndZeroHeightPutsNothing) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  CSDRAWREC* rec = nullptr;
  ASSERT_EQ(LoadStructureFromFile(&host_, GetDllInfo(client_.get()), tmp_.file("lib.sdb").c_str(),
                                  50000, &rec),
            0);
  SetClipText("keep me");
  RECT size{0, 0, 300, 200};
  EXPECT_EQ(MakeStructureMetafile(&host_, GetDllInfo(client_.get()), nullptr,
                                  tmp_.file("pic.wmf").c_str(), rec, &size),
            0);
  EXPECT_EQ(ClipboardBlock(CF_TEXT), std::string("keep me") + '\0');
  HMETAFILE hmf = GetMetaFile(tmp_.file("pic.wmf").c_str());
  ASSERT_NE(hmf, nullptr);
  DeleteMetaFile(hmf);

  RECT flat{0, 0, 300, 0};
  EXPECT_EQ(MakeStructureMetafile(&host_, GetDllInfo(client_.get()), nullptr, nullptr, rec, &flat),
            0);
  EXPECT_EQ(ClipboardBlock(CF_TEXT), std::string("keep me") + '\0');
  std::free(rec);
}

}  // namespace
