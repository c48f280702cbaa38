// The settings file: where it is found, what is read and written, the database
// list and the help path.
#include <gtest/gtest.h>
#include <platform/env.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "core/settings.h"
#include "support/fakehost.h"
#include "testutil/tempdir.h"

namespace fs = std::filesystem;
using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"sys", "mod", "cwd"}) fs::create_directory(tmp_.path() / d);
    sys_ = tmp_.file("sys");
    mod_ = tmp_.file("mod");
    platform::SetSystemDirectory(sys_);
    platform::SetModuleFileNameOverride(AfxGetStaticModuleState()->m_hCurrentInstanceHandle,
                                        mod_ + "/libstruct.so");
    oldCwd_ = fs::current_path();
    fs::current_path(tmp_.path() / "cwd");
  }
  void TearDown() override {
    fs::current_path(oldCwd_);
    platform::SetSystemDirectory("");
    platform::SetModuleFileNameOverride(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, "");
    platform::ClearFaults();
  }

  std::string ini(const std::string& dir) { return dir + "/struct.ini"; }

  AFX_MAINTAIN_STATE state_{AfxGetStaticModuleState()};
  testutil::TempDir tmp_;
  std::string sys_, mod_;
  fs::path oldCwd_;
};

TEST_F(SettingsTest, MissingFileGivesDefaults) {
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  const CSDRAWOPTS& o = info.drawOpts;
  EXPECT_EQ(o.wBkMode, 2);
  EXPECT_EQ(o.lFontHeight, 12);
  EXPECT_EQ(o.bCircles, 1);
  EXPECT_EQ(o.bBorder, 1);
  EXPECT_EQ(o.bThickBonds, 1);
  EXPECT_STREQ(o.lfLabel.lfFaceName, "Lucida Console");
  EXPECT_EQ(o.lfLabel.lfHeight, 12);
  EXPECT_EQ(o.lfLabel.lfWeight, 400);
  EXPECT_EQ(o.lfLabel.lfCharSet, 1);
  EXPECT_EQ(o.lfLabel.lfPitchAndFamily, 0x20);
  EXPECT_EQ(o.lfLabel.lfItalic, 0);
  for (COLORREF c : o.crItem) EXPECT_EQ(c, RGB(255, 255, 255));
  for (COLORREF c : info.crCustom) EXPECT_EQ(c, RGB(255, 255, 255));
  EXPECT_STREQ(info.szDataBase, "");
  EXPECT_EQ(info.lDefStructureCas, 0);
}

TEST_F(SettingsTest, MalformedFileStillStartsWithDefaults) {
  WriteFileBytes(ini(mod_), std::string("\x01\x02[Globals\nTextSize\n=\n\xff\xfe garbage", 30));
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  EXPECT_EQ(info.drawOpts.lFontHeight, 12);
  EXPECT_EQ(info.drawOpts.wBkMode, 2);
  EXPECT_STREQ(info.drawOpts.lfLabel.lfFaceName, "Lucida Console");
}

TEST_F(SettingsTest, SystemDirectoryBeatsModuleDirectoryWhichBeatsCurrentDirectory) {
  WriteFileBytes(tmp_.file("cwd/struct.ini"), "[Globals]\r\nTextSize=30\r\n");
  STRUCT_DLL_INFO a;
  ReadSettings(&a);
  EXPECT_EQ(a.drawOpts.lFontHeight, 30);

  WriteFileBytes(ini(mod_), "[Globals]\r\nTextSize=20\r\n");
  STRUCT_DLL_INFO b;
  ReadSettings(&b);
  EXPECT_EQ(b.drawOpts.lFontHeight, 20);

  WriteFileBytes(ini(sys_), "[Globals]\nTextSize=10\n");
  STRUCT_DLL_INFO c;
  ReadSettings(&c);
  EXPECT_EQ(c.drawOpts.lFontHeight, 10);
  char path[MAX_PATH];
  ASSERT_GT(GetSettingsPath(path, sizeof path), 0);
  EXPECT_EQ(fs::path(platform::ToHostPath(path)), fs::path(ini(sys_)));
}

TEST_F(SettingsTest, ReadsEveryKeyIntoItsField) {
  WriteFileBytes(ini(mod_),
                 "[Globals]\r\nDataBase=C:\\libs\\main.sdb\r\nDefStructureCAS=50000\r\n"
                 "TextBkMode=1\r\nTextSize=-10\r\nAromaticCircleMode=258\r\nDrawBorder=0\r\n"
                 "UseThickBonds=0\r\n"
                 "[Font Info]\r\nFaceName=Courier New\r\nHeight=-13\r\nWidth=7\r\nWeight=700\r\n"
                 "TypeFlags=5\r\nFamily=49\r\n"
                 "[Colors]\r\nCustomColor1=  0   0 128\r\nCustomColor3=10,20\r\n"
                 "CustomColor7=1 2 3 4\r\nCustomColor9=300 x7 -1\r\n");
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  const CSDRAWOPTS& o = info.drawOpts;
  EXPECT_STREQ(info.szDataBase, "C:\\libs\\main.sdb");
  EXPECT_EQ(info.lDefStructureCas, 50000);
  EXPECT_EQ(o.wBkMode, 1);
  EXPECT_EQ(o.lFontHeight, -10);
  EXPECT_EQ(o.bCircles, 2);  // the low byte only
  EXPECT_EQ(o.bBorder, 0);
  EXPECT_EQ(o.bThickBonds, 0);
  EXPECT_STREQ(o.lfLabel.lfFaceName, "Courier New");
  EXPECT_EQ(o.lfLabel.lfHeight, -13);
  EXPECT_EQ(o.lfLabel.lfWidth, 7);
  EXPECT_EQ(o.lfLabel.lfWeight, 700);
  EXPECT_EQ(o.lfLabel.lfItalic, 1);
  EXPECT_EQ(o.lfLabel.lfUnderline, 0);
  EXPECT_EQ(o.lfLabel.lfStrikeOut, 1);
  EXPECT_EQ(o.lfLabel.lfPitchAndFamily, 49);
  EXPECT_EQ(o.crItem[0], RGB(0, 0, 128));
  EXPECT_EQ(o.crItem[1], RGB(255, 255, 255));
  EXPECT_EQ(o.crItem[2], RGB(10, 20, 255));
  EXPECT_EQ(info.crCustom[2], RGB(10, 20, 255));
  EXPECT_EQ(o.crItem[6], RGB(1, 2, 3));
  EXPECT_EQ(info.crCustom[8], RGB(300 & 0xFF, 0, 0xFF));
}

TEST_F(SettingsTest, DefaultStructureKeepsEveryDigitAndSaturates) {
  for (const auto& [text, value] : std::vector<std::pair<std::string, LONG>>{
           {"1333864004", 1333864004}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}}) {
    WriteFileBytes(ini(mod_), "[Globals]\r\nDefStructureCAS=" + text + "\r\n");
    STRUCT_DLL_INFO info;
    ReadSettings(&info);
    EXPECT_EQ(info.lDefStructureCas, value) << text;
  }
}

TEST_F(SettingsTest, WriteCreatesFileInModuleDirectoryAndReadsBack) {
  fakehost::FakeProcessor host;
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  info.drawOpts.crItem[2] = RGB(10, 20, 255);
  info.crCustom[9] = RGB(1, 2, 3);
  info.drawOpts.lFontHeight = -10;
  info.drawOpts.lfLabel.lfItalic = 1;
  std::strcpy(info.drawOpts.lfLabel.lfFaceName, "Arial");
  info.lDefStructureCas = 50000;
  ASSERT_EQ(WriteSettings(&host, &info), 0);
  ASSERT_TRUE(fs::exists(ini(mod_)));
  std::string text = ReadFileBytes(ini(mod_));
  EXPECT_NE(text.find("CustomColor3= 10  20 255\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("TypeFlags=1\r\n"), std::string::npos);

  STRUCT_DLL_INFO back;
  ReadSettings(&back);
  EXPECT_EQ(std::memcmp(&back.drawOpts, &info.drawOpts, sizeof info.drawOpts), 0);
  EXPECT_EQ(back.crCustom[9], RGB(1, 2, 3));
  EXPECT_EQ(back.lDefStructureCas, 50000);
}

TEST_F(SettingsTest, FailedWriteReportsPathAndWritesTheOtherKeys) {
  fakehost::FakeProcessor host;
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  info.drawOpts.lFontHeight = 33;
  info.crCustom[15] = RGB(7, 8, 9);
  platform::InjectFault(platform::FaultOp::ProfileWrite, 2);  // "DefStructureCAS"
  EXPECT_EQ(WriteSettings(&host, &info), 550);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].first, 550);
  EXPECT_NE(host.errors[0].second.find("struct.ini"), std::string::npos);
  platform::ClearFaults();
  STRUCT_DLL_INFO back;
  ReadSettings(&back);
  EXPECT_EQ(back.drawOpts.lFontHeight, 33);
  EXPECT_EQ(back.crCustom[15], RGB(7, 8, 9));
}

std::vector<std::string> ListOf(HLOCAL h) {
  std::vector<std::string> out;
  if (!h) return out;
  const char* p = static_cast<const char*>(LocalLock(h));
  UINT size = LocalSize(h);
  for (UINT i = 0; i < size && p[i];) {
    out.emplace_back(p + i);
    i += static_cast<UINT>(out.back().size()) + 1;
  }
  LocalUnlock(h);
  LocalFree(h);
  return out;
}

TEST_F(SettingsTest, DatabaseListKeepsFileOrderAndGrowsPast256Bytes) {
  STRUCT_DLL_INFO info;
  EXPECT_EQ(ReadDatabaseList(&info), nullptr);  // no settings file at all

  WriteFileBytes(ini(mod_), "[Globals]\r\nTextSize=12\r\n");
  EXPECT_EQ(ReadDatabaseList(&info), nullptr);  // no section

  std::string text = "[Databases]\r\n";
  std::vector<std::string> want;
  for (int i = 0; i < 6; ++i) {
    std::string path = "C:\\libraries\\" + std::string(60, static_cast<char>('a' + i)) + ".sdb";
    text += "Lib" + std::to_string(i) + "=" + path + "\r\n";
    want.push_back(path);
  }
  text += "Empty=\r\nLast=D:\\x.sdb\r\n";
  want.push_back("D:\\x.sdb");
  WriteFileBytes(ini(mod_), text);
  int before = platform::LiveLocalBlocks();
  HLOCAL h = ReadDatabaseList(&info);
  ASSERT_NE(h, nullptr);
  EXPECT_GT(LocalSize(h), 256u);
  // An empty entry is passed over rather than ending the list early.
  EXPECT_EQ(ListOf(h), want);
  EXPECT_EQ(platform::LiveLocalBlocks(), before);
}

TEST_F(SettingsTest, HelpPathIsCutAtSemicolonAndBlank) {
  fakehost::FakeProcessor host;
  CCpClient client{0, 0, nullptr, &host};
  WriteFileBytes(ini(mod_), "[Globals]\r\nHelpFile=C:\\help\\struct.hlp ;the manual\r\n");
  EXPECT_EQ(ShowHelp(&client, 1, 272), 0);
  WriteFileBytes(ini(mod_), "[Globals]\r\nHelpFile=C:\\help\\s.hlp;x y\r\n");
  ShowHelp(&client, 1, 273);
  WriteFileBytes(ini(mod_), "[Globals]\r\nHelpFile=\r\n");
  ShowHelp(&client, 1, 273);
  EXPECT_EQ(host.help,
            (std::vector<std::string>{"C:\\help\\struct.hlp 272", "C:\\help\\s.hlp 273", " 273"}));
}

TEST_F(SettingsTest, LongPathsAreCutNeverOverrun) {
  char small[12];
  std::memset(small, 'x', sizeof small);
  GetModuleDirFile("struct.ini", small, 8);
  EXPECT_EQ(std::strlen(small), 7u);
  EXPECT_EQ(small[11], 'x');

  char buf[MAX_PATH];
  GetModuleDirFile(std::string(300, 'n').c_str(), buf, sizeof buf);
  EXPECT_EQ(buf[std::strlen(buf) - 1], '?');

  WriteFileBytes(ini(sys_), "[Globals]\r\n");
  char cut[10];
  std::memset(cut, 'x', sizeof cut);
  EXPECT_EQ(GetSettingsPath(cut, 6), 5);
  EXPECT_EQ(cut[9], 'x');

  // A system directory deeper than the buffers is passed over, not overrun.
  fs::path deep = tmp_.path() / "sys";
  while (deep.string().size() < 300) deep /= std::string(40, 'd');
  fs::create_directories(deep);
  WriteFileBytes((deep / "struct.ini").string(), "[Globals]\r\nTextSize=77\r\n");
  platform::SetSystemDirectory(deep.string());
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  EXPECT_NE(info.drawOpts.lFontHeight, 77);
}

TEST(ColorText, ComponentsDefaultTo255) {
  EXPECT_EQ(ParseColorText("10,20"), RGB(10, 20, 255));
  EXPECT_EQ(ParseColorText(""), RGB(255, 255, 255));
  EXPECT_EQ(ParseColorText(" 1 , 2 ,3"), RGB(1, 2, 3));
  EXPECT_EQ(ParseColorText("256 511 abc"), RGB(0, 255, 0));
}

}  // namespace
