// DrawPlot and PrintPlot with the test plug-in's things as the plot's
// children: the draw request each child gets, the files made, the printed
// page, and how a failing child fails the statement.
#include <gtest/gtest.h>
#include <platform/env.h>
#include <platform/gdi_export.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "test_host.h"
#include "testutil/tempdir.h"

namespace {

uint32_t BigEndian32(const std::string& s, size_t at) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24) |
         (static_cast<uint8_t>(s[at + 1]) << 16) | (static_cast<uint8_t>(s[at + 2]) << 8) |
         static_cast<uint8_t>(s[at + 3]);
}

class PlotsTest : public ::testing::Test {
 protected:
  ~PlotsTest() override { platform::SetSystemDirectory(savedSysdir_); }
  // A file of the temporary directory, quoted for a macro.
  std::string Path(const std::string& name) { return "\"" + dir_.file(name) + "\""; }
  bool Exists(const std::string& name) { return std::filesystem::exists(dir_.file(name)); }

  testutil::TempDir dir_;
  std::string savedSysdir_ = platform::SystemDirectory();
  hosttest::TestHost host_{true};
};

TEST_F(PlotsTest, PngChildrenGetTheScreenRequestInOrder) {
  const int dcs = platform::LiveDeviceContexts(), objects = platform::LiveGdiObjects();
  hosttest::Outcome r = host_.Run(
      "inf = 1E308 * 10\n"
      "m = MS(0.4, 999.6, inf - inf, -inf)\n"
      "Attach MakeThing(\"a\"), m\n"
      "Attach MakeThing(\"b\"), m\n"
      "DrawPlot m, " +
      Path("p.png") + ", 320, 200, \"10 20 30\"\nPrint Draws$()\n");
  const hosttest::Outcome vector = host_.Run(
      "DrawPlot m, " + Path("p.svg") + ", 320, 200\nDrawPlot m, " + Path("p.pdf") + ", 320, 200\n");
  ASSERT_FALSE(r.failed) << r.err;
  // Both drew on the painted background; NaN reads as 0, -inf as the lowest
  // 32-bit value.
  const std::string request =
      " print=0 rect=0,0,320,200 x=0,1000 y=0,-2147483648 ext=0 unit=0 dc=1 ref=hdc mm=1 "
      "org=0,0 wext=1,1 vext=1,1 under=1e140a zero=1\n";
  EXPECT_EQ(r.out, "a" + request + "b" + request + "\n");
  const std::string png = testutil::ReadFileBytes(dir_.file("p.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian32(png, 16), 320u);
  EXPECT_EQ(BigEndian32(png, 20), 200u);
  ASSERT_FALSE(vector.failed) << vector.err;
  EXPECT_NE(testutil::ReadFileBytes(dir_.file("p.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(testutil::ReadFileBytes(dir_.file("p.pdf")).substr(0, 5), "%PDF-");
  EXPECT_EQ(platform::LiveDeviceContexts(), dcs);
  EXPECT_EQ(platform::LiveGdiObjects(), objects);
}

// Through structhost: the default size is its --view, and other programs
// size the metafile by its placeable header.
TEST_F(PlotsTest, WmfIsPlaceableAtTheViewSizeAndMeasuresOnTheScreen) {
  testutil::WriteFileBytes(dir_.file("s.mac"),
                           "m = MS(0, 1, 0, 1)\nAttach MakeThing(\"a\"), m\n"
                           "DrawPlot m, \"p.wmf\"\nPrint Draws$()\n");
  const std::string cmd = "cd '" + dir_.path().string() + "' && '" + STRUCTHOST_PATH +
                          "' --plugin '" + TEST_PLUGIN_PATH + "' --view 400x100 s.mac >out.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  // The metafile context (5) draws, the screen (1) is its reference.
  EXPECT_EQ(testutil::ReadFileBytes(dir_.file("out.txt"))
                .rfind("a print=0 rect=0,0,400,100 x=0,1 y=0,1 ext=0 unit=0 dc=5 ref=1 ", 0),
            0u);
  // Key, handle 0, box 0,0,400,100, 96 an inch, reserved 0, checksum.
  const unsigned char head[22] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0,    0x90,
                                  0x01, 0x64, 0,    0x60, 0, 0, 0, 0, 0, 0x85, 0x56};
  const std::string wmf = testutil::ReadFileBytes(dir_.file("p.wmf"));
  ASSERT_GT(wmf.size(), 22u);
  EXPECT_EQ(wmf.substr(0, 22), std::string(reinterpret_cast<const char*>(head), 22));
  if (std::system("command -v wmf2svg >/dev/null") != 0) return;
  ASSERT_EQ(
      std::system(("wmf2svg -o '" + dir_.file("p.svg") + "' '" + dir_.file("p.wmf") + "'").c_str()),
      0);
  // At its own resolution, but in the box's proportions.
  const std::string svg = testutil::ReadFileBytes(dir_.file("p.svg"));
  int w = 0, h = 0;
  const size_t at = svg.find("<svg width=");
  ASSERT_NE(at, std::string::npos) << svg;
  ASSERT_EQ(std::sscanf(svg.c_str() + at, "<svg width=\"%d\" height=\"%d\"", &w, &h), 2) << svg;
  EXPECT_NEAR(w, 4 * h, 4);
  EXPECT_NE(svg.find("fill:blue"), std::string::npos);
}

TEST_F(PlotsTest, FailingChildFailsTheStatementAfterTheOthersDrew) {
  hosttest::Outcome r = host_.Run(
      "m = CHRO(0, 1, 0, 1)\n"
      "Attach MakeThing(\"612\"), m\nAttach MakeThing(\"b\"), m\nAttach MakeThing(\"613\"), m\n"
      "DrawPlot m, " +
      Path("f.png") + ", 10, 10\nPrint _STATUS\n");
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(r.err, "");  // the child reports its own failure
  EXPECT_EQ(r.out, "612\n");
  EXPECT_TRUE(Exists("f.png"));
  r = host_.Run("Print Draws$()\n");
  EXPECT_EQ(r.out.substr(0, 4), "612 ");
  EXPECT_NE(r.out.find("\nb "), std::string::npos);
  EXPECT_NE(r.out.find("\n613 "), std::string::npos);
}

TEST_F(PlotsTest, BadArgumentsAreHostErrorsAndDrawNothing) {
  hosttest::Outcome r = host_.Run(
      "t = MakeThing(\"a\")\nm = MS(0, 1, 0, 1)\nAttach t, m\n"
      "DrawPlot t, " +
      Path("x.png") + "\nDrawPlot m, " + Path("x.gif") + "\nDrawPlot m, " + Path("x.png") +
      ", 0, 10\nDrawPlot m, " + Path("x.png") + ", 10, 16385\nDrawPlot m, " + Path("x.png") +
      ", 10.5, 10\nDrawPlot m, " + Path("x.png") +
      ", 10, 10, \"256 0 0\"\nPrint _STATUS, Draws$()\n");
  EXPECT_EQ(r.err,
            "error: DrawPlot: argument 1 is not an MS or CHRO plot\n"
            "error: DrawPlot writes .png, .svg, .pdf or .wmf, not " +
                dir_.file("x.gif") +
                "\n"
                "error: DrawPlot: the width is a whole number from 1 to 16384\n"
                "error: DrawPlot: the height is a whole number from 1 to 16384\n"
                "error: DrawPlot: the width is a whole number from 1 to 16384\n"
                "error: a background colour is \"R G B\", each 0 to 255\n");
  EXPECT_EQ(r.out, "1 \n");
  EXPECT_FALSE(Exists("x.png"));
}

TEST_F(PlotsTest, PrintPlotFillsAPageOfTheDefaultPrinter) {
  platform::SetSystemDirectory(dir_.path().string());
  testutil::WriteFileBytes(dir_.file("win.ini"),
                           "[windows]\ndevice=Plot Printer,pdf, " + dir_.file("page.pdf") + "\n");
  hosttest::Outcome r = host_.Run(
      "m = CHRO(1.5, 2.5, -1.5, 100)\nAttach MakeThing(\"a\"), m\nPrintPlot m\nPrint Draws$()\n");
  ASSERT_FALSE(r.failed) << r.err;
  HDC ic = CreateIC("pdf", "Plot Printer", nullptr, nullptr);
  const std::string page =
      std::to_string(GetDeviceCaps(ic, HORZRES)) + "," + std::to_string(GetDeviceCaps(ic, VERTRES));
  DeleteDC(ic);
  EXPECT_EQ(r.out.substr(0, r.out.find(" under=")),
            "a print=1 rect=0,0,16380,16380 x=2,3 y=-2,100 ext=16380 unit=1 dc=2 ref=hdc mm=8 "
            "org=0,16380 wext=16380,-16380 vext=" +
                page);
  EXPECT_EQ(testutil::ReadFileBytes(dir_.file("page.pdf")).substr(0, 5), "%PDF-");

  for (const char* entry : {"", "device=Plot Printer\n", "device=Plot Printer,pdf,\n"}) {
    testutil::WriteFileBytes(dir_.file("win.ini"), std::string("[windows]\n") + entry);
    r = host_.Run("PrintPlot m\n");
    EXPECT_EQ(r.err, "error: no default printer\n") << entry;
  }
}

}  // namespace
