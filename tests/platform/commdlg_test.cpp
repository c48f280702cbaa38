// The common dialogs answered by the interaction driver: the colour and font
// choosers with the answers they take, refuse and ignore, and names typed
// into the open-file prompt relative to its initial folder.
#include <commdlg.h>

#include <cstring>
#include <filesystem>

#include "dialog_fixture.h"

namespace {

using Strings = std::vector<std::string>;
class CommDlgTest : public dlgtest::DialogTest {};

TEST_F(CommDlgTest, ColourNeedsThreeComponentsInRange) {
  COLORREF custom[16] = {};
  custom[3] = RGB(1, 2, 3);
  CHOOSECOLOR cc = {};
  cc.lpCustColors = custom;
  Queue({"color 0 128", "color 0 128 256", "color 0 x 1", "colour 1 2 3", "color 255 128 0",
         "cancel"});
  EXPECT_TRUE(ChooseColor(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(255, 128, 0));
  EXPECT_EQ(custom[3], RGB(1, 2, 3));
  const std::string refused = "message: Enter a value between 0 and 255.";
  EXPECT_EQ(console_, (Strings{refused, refused, refused, "ignored: colour 1 2 3"}));
  EXPECT_FALSE(ChooseColor(&cc));
  EXPECT_FALSE(ChooseColor(&cc));  // nothing queued
  EXPECT_EQ(cc.rgbResult, RGB(255, 128, 0));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(CommDlgTest, FontFillsTheWholeLogFont) {
  LOGFONT lf;
  std::memset(&lf, 0x55, sizeof lf);
  CHOOSEFONT cf = {};
  cf.lpLogFont = &lf;
  cf.rgbColors = RGB(1, 2, 3);
  Queue({"font Lucida  Console 14 700 1", "font Arial 12 400 0", "font Arial 10 0 0",
         "font A Name Longer Than Any Face Can Hold 9 400 0"});
  ASSERT_TRUE(ChooseFont(&cf));
  EXPECT_EQ(lf.lfHeight, -19);
  EXPECT_STREQ(lf.lfFaceName, "Lucida  Console");
  EXPECT_EQ(cf.nFontType, SCREEN_FONTTYPE | BOLD_FONTTYPE | ITALIC_FONTTYPE);
  for (LONG height : {-16, -13}) {
    ASSERT_TRUE(ChooseFont(&cf));
    EXPECT_EQ(lf.lfHeight, height);
  }
  ASSERT_TRUE(ChooseFont(&cf));
  LOGFONT plain = {};
  plain.lfHeight = -12;
  plain.lfWeight = 400;
  std::strcpy(plain.lfFaceName, "A Name Longer Than Any Face Can");
  EXPECT_EQ(std::memcmp(&lf, &plain, sizeof lf), 0);
  EXPECT_EQ(cf.iPointSize, 90);
  EXPECT_EQ(cf.nFontType, SCREEN_FONTTYPE | REGULAR_FONTTYPE);
  EXPECT_EQ(cf.rgbColors, RGB(1, 2, 3));
}

TEST_F(CommDlgTest, FontSizeOutsideTheLimitsIsRefusedAndMalformedLinesIgnored) {
  LOGFONT lf = {};
  CHOOSEFONT cf = {};
  cf.lpLogFont = &lf;
  cf.Flags = CF_LIMITSIZE;
  cf.nSizeMin = 4;
  cf.nSizeMax = 72;
  Queue({"font Arial 80 400 0", "font Arial 0 400 0", "font Arial 10.5 400 0",
         "font Arial 12 1001 0", "font Arial 12 400 2", "font 12 400 0", "font Arial 72 400 0"});
  EXPECT_TRUE(ChooseFont(&cf));
  EXPECT_EQ(cf.iPointSize, 720);
  EXPECT_EQ(console_, (Strings{"message: Size must be between 4 and 72 points.",
                               "message: Size must be a number.", "message: Size must be a number.",
                               "ignored: font Arial 12 1001 0", "ignored: font Arial 12 400 2",
                               "ignored: font 12 400 0"}));
  cf.lpLogFont = nullptr;
  Queue({"font Arial 12 400 0"});
  EXPECT_FALSE(ChooseFont(&cf));
  EXPECT_NE(CommDlgExtendedError(), 0u);
}

TEST_F(CommDlgTest, RelativeFileNamesAreInTheInitialFolder) {
  std::filesystem::create_directory(Path("db"));
  Write("db/user.sdb", "x");
  platform::SetDrive('C', dir_.path().string());
  char file[MAX_PATH] = "";
  OPENFILENAME ofn = {};
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_FILEMUSTEXIST;
  ofn.lpstrInitialDir = "c:\\db";
  Queue({"file std.sdb", "file user.sdb"});
  EXPECT_TRUE(GetOpenFileName(&ofn));
  EXPECT_STREQ(file, "c:\\db\\user.sdb");
  EXPECT_EQ(console_, Strings{"message: c:\\db\\std.sdb\nFile not found."});
  std::string host = Path("db/");
  ofn.lpstrInitialDir = host.c_str();
  Queue({"file user.sdb", "file c:\\db\\user.sdb"});
  EXPECT_TRUE(GetOpenFileName(&ofn));
  EXPECT_EQ(file, host + "user.sdb");
  EXPECT_TRUE(GetOpenFileName(&ofn));  // a drive is not joined to the folder
  EXPECT_STREQ(file, "c:\\db\\user.sdb");
}

}  // namespace
