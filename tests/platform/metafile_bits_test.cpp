// Metafiles as whole blocks of bytes: export and import, copies in memory and
// on disk, files with a placeable header, bytes that are not a metafile, and
// metafile pictures owned by the clipboard.
#include "metafile_testutil.h"

namespace {

using MetaBits = MetaTest;

HMETAFILE Sample() {
  HDC dc = CreateMetaFile(nullptr);
  SetWindowExtEx(dc, 200, 100, nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  SelectObject(dc, brush);
  Rectangle(dc, 10, 10, 190, 90);
  DeleteObject(brush);
  return CloseMetaFile(dc);
}

// The smallest metafile: a header and the end record.
const std::vector<BYTE> kEmpty = Words({1, 9, 0x0300, 12, 0, 0, 3, 0, 0, 3, 0, 0});

TEST_F(MetaBits, BitsRoundTrip) {
  HMETAFILE mf = Sample();
  const UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
  std::vector<BYTE> bits(size);
  EXPECT_EQ(GetMetaFileBitsEx(mf, size - 1, bits.data()), 0u) << "too small a buffer";
  EXPECT_EQ(GetMetaFileBitsEx(mf, size, bits.data()), size);
  HMETAFILE again = SetMetaFileBitsEx(size, bits.data());
  EXPECT_NE(again, mf);
  EXPECT_EQ(Bits(again), bits);
  std::vector<BYTE> padded = bits;  // a clipboard block may be rounded up
  padded.resize(padded.size() + 6, 0xAB);
  HMETAFILE trimmed = SetMetaFileBitsEx(static_cast<UINT>(padded.size()), padded.data());
  EXPECT_EQ(Bits(trimmed), bits);
  HMETAFILE empty = SetMetaFileBitsEx(static_cast<UINT>(kEmpty.size()), kEmpty.data());
  EXPECT_EQ(Bits(empty), kEmpty);
  for (HMETAFILE h : {mf, again, trimmed, empty}) EXPECT_TRUE(DeleteMetaFile(h));
  EXPECT_FALSE(DeleteMetaFile(mf));
  EXPECT_EQ(GetMetaFileBitsEx(mf, 0, nullptr), 0u);
}

TEST_F(MetaBits, CopiesInMemoryAndOnDisk) {
  HMETAFILE mf = Sample();
  const std::vector<BYTE> bits = Bits(mf);
  HMETAFILE copy = CopyMetaFile(mf, nullptr);
  EXPECT_EQ(Bits(copy), bits);
  HMETAFILE onDisk = CopyMetaFile(mf, Path("copy.wmf").c_str());
  ASSERT_NE(onDisk, nullptr);
  const std::string text = Read("copy.wmf");
  std::vector<BYTE> file(text.begin(), text.end());
  ExpectOpensInWmf2svg(file, dir_, "disk");
  ASSERT_EQ(file.size(), bits.size());
  EXPECT_EQ(file[0], 2) << "a disk metafile";
  file[0] = 1;
  EXPECT_EQ(file, bits);
  HMETAFILE loaded = GetMetaFile(Path("copy.wmf").c_str());
  EXPECT_EQ(Bits(loaded), bits) << "in memory again";

  // Files from programs that put the 22-byte placeable header first: key,
  // handle, bounds, units an inch, reserved, checksum.
  const std::vector<BYTE> placeable = Words({0xCDD7, 0x9AC6, 0, 0, 0, 200, 100, 1440, 0, 0, 0});
  std::vector<BYTE> withPlaceable = placeable;
  withPlaceable.insert(withPlaceable.end(), bits.begin(), bits.end());
  WriteBytes(Path("placeable.wmf"), withPlaceable);
  HMETAFILE placed = GetMetaFile(Path("placeable.wmf").c_str());
  EXPECT_EQ(Bits(placed), bits);

  EXPECT_EQ(GetMetaFile(Path("none.wmf").c_str()), nullptr);
  EXPECT_EQ(CopyMetaFile(nullptr, nullptr), nullptr);
  EXPECT_EQ(CopyMetaFile(mf, Path("no/such/dir.wmf").c_str()), nullptr);
  for (HMETAFILE h : {mf, copy, onDisk, loaded, placed}) DeleteMetaFile(h);
}

TEST_F(MetaBits, GarbageIsRefused) {
  const auto refused = [](const std::vector<BYTE>& b) {
    HMETAFILE h = SetMetaFileBitsEx(static_cast<UINT>(b.size()), b.data());
    DeleteMetaFile(h);
    return h == nullptr;
  };
  EXPECT_FALSE(refused(kEmpty));
  EXPECT_FALSE(refused(Words({1, 9, 0x0100, 12, 0, 0, 3, 0, 0, 3, 0, 0}))) << "version 1";
  EXPECT_TRUE(refused({}));
  EXPECT_TRUE(refused(std::vector<BYTE>(kEmpty.begin(), kEmpty.begin() + 17)));
  EXPECT_TRUE(refused(std::vector<BYTE>(kEmpty.begin(), kEmpty.end() - 2))) << "mtSize too big";
  EXPECT_TRUE(refused(Words({3, 9, 0x0300, 12, 0, 0, 3, 0, 0, 3, 0, 0}))) << "type";
  EXPECT_TRUE(refused(Words({1, 8, 0x0300, 12, 0, 0, 3, 0, 0, 3, 0, 0}))) << "header size";
  EXPECT_TRUE(refused(Words({1, 9, 0x0200, 12, 0, 0, 3, 0, 0, 3, 0, 0}))) << "version";
  EXPECT_TRUE(refused(Words({1, 9, 0x0300, 9, 0, 0, 3, 0, 0}))) << "no records";
  EXPECT_TRUE(refused(Words({1, 9, 0x0300, 14, 0, 0, 5, 0, 0, 5, 0, 0x0213, 1, 2})))
      << "no end record";
  EXPECT_TRUE(refused(Words({1, 9, 0x0300, 17, 0, 0, 5, 0, 0, 9, 0, 0x0213, 1, 2, 3, 0, 0})))
      << "a record running past mtSize";
  EXPECT_TRUE(refused(Words({1, 9, 0x0300, 15, 0, 0, 3, 0, 0, 0, 0, 0x0213, 3, 0, 0})))
      << "a record of size 0, which would loop for ever";
  EXPECT_TRUE(refused(Words({1, 9, 0x0300, 15, 0, 0, 3, 0, 0, 2, 0, 0x0213, 3, 0, 0})))
      << "a record smaller than its header";
  EXPECT_TRUE(refused(Words({1, 9, 0x0300, 15, 0, 0, 3, 0, 0, 0xFFFF, 0xFFFF, 0x0213, 3, 0, 0})))
      << "a record size that overflows";
  WriteBytes(Path("junk.wmf"), Words({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(GetMetaFile(Path("junk.wmf").c_str()), nullptr);
}

TEST_F(MetaBits, ClipboardDeletesPictureMetafile) {
  const int before = platform::LiveMetaFiles();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
  *static_cast<METAFILEPICT*>(GlobalLock(block)) = {MM_ANISOTROPIC, 1000, 500, Sample()};
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_METAFILEPICT, block);
  EXPECT_EQ(platform::LiveMetaFiles(), before + 1);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(platform::LiveMetaFiles(), before);
}

}  // namespace
