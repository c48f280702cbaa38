// Profile files: reading CR LF and LF text, names matched without regard to
// case, enumeration cut to the buffer, and the exact text a write produces.
#include <filesystem>

#include "fixture.h"

namespace {

class ProfileTest : public PlatformTest {
 protected:
  std::string Get(const char* app, const char* key, const char* def = "", DWORD size = 256) {
    char buf[256];
    DWORD n = GetPrivateProfileString(app, key, def, buf, size, ini_.c_str());
    return std::string(buf, n);
  }
  std::string ini_ = Path("struct.ini");
};

TEST_F(ProfileTest, ReadsCrLfAndLfAlike) {
  for (const char* eol : {"\r\n", "\n"}) {
    std::string e = eol;
    Write("struct.ini", "[Globals]" + e + "  TextSize =  14  " + e + "Name=\"quoted\"" + e +
                            "[Font Info]" + e + "FaceName=Arial" + e);
    EXPECT_EQ(Get("globals", "TEXTSIZE"), "14");
    EXPECT_EQ(Get("Globals", "name"), "quoted");
    EXPECT_EQ(Get("FONT INFO", "facename"), "Arial");
    EXPECT_EQ(Get("Globals", "FaceName", "dflt  "), "dflt");  // not in this section
  }
}

TEST_F(ProfileTest, ValueIsCutToTheBuffer) {
  Write("struct.ini", "[s]\r\nk=abcdef\r\n");
  char buf[8];
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", buf, 4, ini_.c_str()), 3u);
  EXPECT_STREQ(buf, "abc");
}

TEST_F(ProfileTest, MissingFileGivesDefaults) {
  EXPECT_EQ(Get("Globals", "TextSize", "12"), "12");
  EXPECT_EQ(GetPrivateProfileInt("Globals", "TextSize", 12, ini_.c_str()), 12u);
  EXPECT_FALSE(std::filesystem::exists(ini_));
}

TEST_F(ProfileTest, IntegersStopAtFirstNonDigit) {
  Write("struct.ini", "[g]\na= -12abc\nb=abc\nc=\nd=+7\n");
  EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("g", "a", 5, ini_.c_str())), -12);
  EXPECT_EQ(GetPrivateProfileInt("g", "b", 5, ini_.c_str()), 0u);
  EXPECT_EQ(GetPrivateProfileInt("g", "c", 5, ini_.c_str()), 5u);
  EXPECT_EQ(GetPrivateProfileInt("g", "d", 5, ini_.c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileInt("g", "none", 5, ini_.c_str()), 5u);
}

TEST_F(ProfileTest, EnumeratesKeysAndSections) {
  Write("struct.ini",
        "[Databases]\r\nDB1=a.sdb\r\n; comment\r\nDB2=b.sdb\r\ndb1=dup\r\n[Other]\r\n");
  char buf[64];
  DWORD n = GetPrivateProfileString("databases", nullptr, "", buf, sizeof buf, ini_.c_str());
  EXPECT_EQ(std::string(buf, n), std::string("DB1\0DB2\0", 8));
  EXPECT_EQ(buf[n], '\0');
  // Cut as Windows cuts: the last name shortened, two NULs, size - 2.
  n = GetPrivateProfileString("Databases", nullptr, "", buf, 7, ini_.c_str());
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(std::string(buf, 7), std::string("DB1\0D\0\0", 7));
  n = GetPrivateProfileString("Databases", nullptr, "", buf, 6, ini_.c_str());
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(std::string(buf, 6), std::string("DB1\0\0\0", 6));
  n = GetPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, ini_.c_str());
  EXPECT_EQ(std::string(buf, n), std::string("Databases\0Other\0", 16));
  n = GetPrivateProfileString("Nothing", nullptr, "", buf, sizeof buf, ini_.c_str());
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(buf[0], '\0');
}

TEST_F(ProfileTest, WriteCreatesFileWithCrLf) {
  ASSERT_TRUE(WritePrivateProfileString("Globals", "TextSize", "12", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("Globals", "DrawBorder", "1", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("Colors", "CustomColor1", "255 255 255", ini_.c_str()));
  EXPECT_EQ(Read("struct.ini"),
            "[Globals]\r\nTextSize=12\r\nDrawBorder=1\r\n\r\n[Colors]\r\n"
            "CustomColor1=255 255 255\r\n");
}

TEST_F(ProfileTest, WriteEditsInPlaceKeepingTheRest) {
  Write("struct.ini", "; settings\n[Globals]\nTEXTSIZE=12\n\n[Colors]\nc=1\n");
  ASSERT_TRUE(WritePrivateProfileString("globals", "TextSize", "14", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("GLOBALS", "New", "x", ini_.c_str()));
  EXPECT_EQ(Read("struct.ini"),
            "; settings\r\n[Globals]\r\nTEXTSIZE=14\r\nNew=x\r\n\r\n[Colors]\r\nc=1\r\n");
}

TEST_F(ProfileTest, DeletesKeysAndSections) {
  Write("struct.ini", "[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n");
  ASSERT_TRUE(WritePrivateProfileString("a", "K", nullptr, ini_.c_str()));
  EXPECT_EQ(Get("A", "k", "gone"), "gone");
  EXPECT_EQ(Get("A", "j"), "2");
  ASSERT_TRUE(WritePrivateProfileString("b", nullptr, nullptr, ini_.c_str()));
  EXPECT_EQ(Read("struct.ini"), "[A]\r\nj=2\r\n");
  // Deleting what is not there succeeds and creates nothing.
  std::string other = Path("other.ini");
  EXPECT_TRUE(WritePrivateProfileString("x", nullptr, nullptr, other.c_str()));
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(ProfileTest, SectionIsReplacedWholeInOneWrite) {
  Write("struct.ini", "[Databases]\r\nb=x.sdb\r\nc=y.sdb\r\n\r\n[Colors]\r\nc=1\r\n");
  ASSERT_TRUE(WritePrivateProfileSection("DATABASES", "1=y.sdb\0002=a=b.sdb\0", ini_.c_str()));
  EXPECT_EQ(Read("struct.ini"),
            "[Databases]\r\n1=y.sdb\r\n2=a=b.sdb\r\n\r\n[Colors]\r\nc=1\r\n");
  ASSERT_TRUE(WritePrivateProfileSection("New", "k=v\0", ini_.c_str()));
  EXPECT_EQ(Get("new", "K"), "v");
  // A write that fails leaves the file as it was.
  const std::string before = Read("struct.ini");
  platform::InjectFault(platform::FaultOp::ProfileWrite, 1);
  EXPECT_FALSE(WritePrivateProfileSection("Databases", "1=z.sdb\0", ini_.c_str()));
  platform::InjectFault(platform::FaultOp::WriteFile, 1, platform::FaultKind::DiskFull);
  EXPECT_FALSE(WritePrivateProfileSection("Databases", "1=z.sdb\0", ini_.c_str()));
  EXPECT_EQ(Read("struct.ini"), before);
}

TEST_F(ProfileTest, WriteFailsWhenDirectoryIsMissing) {
  std::string bad = Path("none/struct.ini");
  SetLastError(kPrimedError);
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", bad.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(ProfileTest, SystemProfileAndBareNamesLiveInSystemDirectory) {
  char buf[64];
  EXPECT_FALSE(WriteProfileString("windows", "device", "x"));
  EXPECT_EQ(GetProfileString("windows", "device", "none", buf, sizeof buf), 4u);
  platform::SetSystemDirectory(dir_.path().string());
  Write("win.ini", "[windows]\r\ndevice=Printer,pdf,out.pdf\r\n");
  GetProfileString("Windows", "Device", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "Printer,pdf,out.pdf");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", "struct.ini"));
  EXPECT_EQ(Read("struct.ini"), "[s]\r\nk=v\r\n");
}

}  // namespace
