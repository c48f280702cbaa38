// Local memory with 16-bit sizes and movable blocks, global memory with exact
// sizes, system strings, and the stock GDI objects.
#include <cstring>

#include "fixture.h"

namespace {

class MemoryTest : public PlatformTest {};

TEST_F(MemoryTest, LocalBlocksAreLimitedTo16Bits) {
  SetLastError(kPrimedError);
  EXPECT_EQ(LocalAlloc(LHND, 65536), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  HLOCAL h = LocalAlloc(LHND, 65535);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(LocalSize(h), 65535u);
  EXPECT_EQ(LocalReAlloc(h, 65536, LMEM_MOVEABLE), nullptr);
  EXPECT_EQ(LocalSize(h), 65535u);
  EXPECT_EQ(LocalFree(h), nullptr);
}

TEST_F(MemoryTest, FixedBlockIsItsOwnPointer) {
  HLOCAL h = LocalAlloc(LPTR, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(LocalLock(h), h);
  EXPECT_EQ(std::memcmp(h, "\0\0\0\0\0\0\0\0", 8), 0);
  // Growing would move it, which only a caller expecting a new handle allows.
  EXPECT_EQ(LocalReAlloc(h, 64, LMEM_ZEROINIT), nullptr);
  HLOCAL moved = LocalReAlloc(h, 64, LMEM_MOVEABLE | LMEM_ZEROINIT);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(LocalSize(moved), 64u);
  EXPECT_EQ(LocalFree(moved), nullptr);
}

TEST_F(MemoryTest, MovableBlockGrowsKeepingItsHandle) {
  HLOCAL h = LocalAlloc(LHND, 4);
  auto* p = static_cast<char*>(LocalLock(h));
  ASSERT_NE(p, nullptr);
  std::memcpy(p, "abcd", 4);
  EXPECT_EQ(LocalReAlloc(h, 10, LMEM_MOVEABLE | LMEM_ZEROINIT), h);
  p = static_cast<char*>(LocalLock(h));  // the memory may have moved
  EXPECT_EQ(std::memcmp(p, "abcd\0\0\0\0\0\0", 10), 0);
  EXPECT_EQ(LocalSize(h), 10u);
  EXPECT_EQ(LocalReAlloc(h, 2, LMEM_MOVEABLE), h);
  EXPECT_EQ(LocalSize(h), 2u);
  EXPECT_TRUE(LocalUnlock(h));   // still locked once
  EXPECT_FALSE(LocalUnlock(h));  // now unlocked
  EXPECT_EQ(LocalFree(h), nullptr);
  EXPECT_EQ(LocalFree(h), h);  // a stale handle is refused
  EXPECT_EQ(LocalLock(h), nullptr);
}

TEST_F(MemoryTest, GlobalBlocksHaveExactSizesAndAreCounted) {
  int before = platform::LiveGlobalBlocks();
  HGLOBAL h = GlobalAlloc(GHND, 13);
  HGLOBAL big = GlobalAlloc(GMEM_MOVEABLE, 100000);
  ASSERT_NE(h, nullptr);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(GlobalSize(h), 13u);
  EXPECT_EQ(platform::LiveGlobalBlocks(), before + 2);
  EXPECT_EQ(GlobalReAlloc(h, 20, GMEM_MOVEABLE), h);
  EXPECT_EQ(GlobalSize(h), 20u);
  GlobalFree(h);
  GlobalFree(big);
  EXPECT_EQ(platform::LiveGlobalBlocks(), before);
}

TEST_F(MemoryTest, SystemStrings) {
  int before = platform::LiveSysStrings();
  BSTR s = SysAllocString("Benzene");
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(s, "Benzene");
  EXPECT_EQ(SysStringLen(s), 7u);
  EXPECT_EQ(platform::LiveSysStrings(), before + 1);
  SysFreeString(s);
  SysFreeString(nullptr);
  EXPECT_EQ(platform::LiveSysStrings(), before);
}

TEST_F(MemoryTest, StockObjectsAreSharedBrushesAreCounted) {
  EXPECT_EQ(GetStockObject(BLACK_BRUSH), GetStockObject(BLACK_BRUSH));
  EXPECT_NE(GetStockObject(BLACK_BRUSH), GetStockObject(WHITE_BRUSH));
  int before = platform::LiveGdiObjects();
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(platform::LiveGdiObjects(), before + 1);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_FALSE(DeleteObject(b));
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(platform::LiveGdiObjects(), before);
}

}  // namespace
