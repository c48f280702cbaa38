// The drawing options, view and database list dialogs driven by the user's
// scripted actions, with struct.ini and libraries in a temporary system
// directory: what reaches the settings file, the structure and the macro.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/common.h"
#include "database/lookup.h"
#include "dialogs/entries.h"
#include "dialogs/libdialog.h"
#include "support/fakehost.h"
#include "support/libbytes.h"
#include "support/records.h"
#include "testutil/tempdir.h"

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetSystemDirectory(tmp_.path().string());
    platform::ClearActions();
    std::vector<int32_t> off;
    WriteFileBytes(tmp_.file("lib.sdb"),
                   libbytes::DataFile(0,
                                      {libbytes::SimpleBody(0, 0, 40, 0, "First"),
                                       libbytes::SimpleBody(0, 0, 0, 40, "Second")},
                                      &off));
    WriteFileBytes(tmp_.file("lib.ind"), libbytes::IndexFile({{50000, off[1]}}));
  }
  void TearDown() override {
    client_.reset();
    platform::ClearActions();
    platform::ClearFaults();
    platform::SetSystemDirectory("");
  }
  // The client reads struct.ini when it starts.
  void Start(const std::string& ini) {
    WriteFileBytes(Ini(), ini);
    client_ = std::make_unique<fakehost::Client>(host_);
  }
  std::string Ini() const { return tmp_.file("struct.ini"); }
  STRUCT_DLL_INFO* Info() const { return GetDllInfo(client_->get()); }

  // Runs a command with the actions queued; stdout (dumps) into *out.
  short Run(CommandEntry entry, const std::vector<std::string>& actions, CSDRAWREC* rec = nullptr,
            std::string* out = nullptr) {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    for (const auto& a : actions) platform::QueueAction(a);
    OBJ_BASECLASS obj{};
    obj.pWord3 = rec;
    OBJ_BASECLASS* args[1] = {rec ? &obj : nullptr};
    testing::internal::CaptureStdout();
    const short status = entry(client_->get(), args);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (out) *out = printed;
    return status;
  }
  CSDRAWREC* Load(LONG id) {
    CSDRAWREC* rec = nullptr;
    LoadStructure(&host_, Info(), id, &rec);
    return rec;
  }

  std::string Libs() const { return "[Databases]\r\nA=" + tmp_.file("lib.sdb") + "\r\n"; }

  testutil::TempDir tmp_;
  fakehost::FakeProcessor host_;
  std::unique_ptr<fakehost::Client> client_;
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(DialogsTest, SizeIsClampedAsTheFieldIsLeftAndAbsRelGiveTheSign) {
  Start(Libs());
  std::string out;
  ASSERT_EQ(Run(DrawOptsCmd,
                {"set 205 25", "click 216", "dump", "set 205 3", "click 216", "dump", "set 205 -5",
                 "click 216", "dump", "set 205 abc", "check 206 1", "dump", "ok"},
                nullptr, &out),
            0);
  std::vector<std::string> dumps;
  for (size_t at = out.find("dialog 200"); at != std::string::npos;) {
    const size_t next = out.find("dialog 200", at + 1);
    dumps.push_back(out.substr(at, next == std::string::npos ? next : next - at));
    at = next;
  }
  ASSERT_EQ(dumps.size(), 4u);
  EXPECT_TRUE(Has(dumps[0], "205 EDIT \"20\""));
  EXPECT_TRUE(Has(dumps[1], "205 EDIT \"10\""));
  EXPECT_TRUE(Has(dumps[2], "205 EDIT \"10\""));
  // Text that is no number keeps the height; Abs makes it negative, and the
  // field still shows its magnitude.
  EXPECT_TRUE(Has(dumps[3], "205 EDIT \"10\"\n206 BUTTON \"&Abs\" checked"));
  EXPECT_TRUE(Has(ReadFileBytes(Ini()), "TextSize=-10\r\n"));
  EXPECT_TRUE(Has(ReadFileBytes(Ini()), "DrawBorder=0\r\n"));  // clicked three times
  EXPECT_TRUE(host_.errors.empty()) << "no DefStructureCAS: record 1, no report of ID 0";

  ASSERT_EQ(Run(DrawOptsCmd, {"check 207 1", "ok"}), 0);
  EXPECT_TRUE(Has(ReadFileBytes(Ini()), "TextSize=10\r\n"));
  EXPECT_EQ(Info()->drawOpts.lFontHeight, 10);
}

TEST_F(DialogsTest, CancelWritesNothingAndAnObjectKeepsItsOptionsToItself) {
  Start(Libs() + "[Globals]\r\nDefStructureCAS=50000\r\n");
  const std::string before = ReadFileBytes(Ini());
  std::string out;
  ASSERT_EQ(Run(DrawOptsCmd, {"dump", "set 205 15", "click 213", "cancel"}, nullptr, &out), 0);
  EXPECT_TRUE(Has(out, "217 BUTTON \"Second\"")) << "the default structure is the sample";
  EXPECT_EQ(ReadFileBytes(Ini()), before);
  EXPECT_EQ(Info()->drawOpts.bCircles, 1);

  CSDRAWREC* rec = Load(-1);
  ASSERT_NE(rec, nullptr);
  const CSDRAWOPTS global = Info()->drawOpts;
  ASSERT_EQ(Run(DrawOptsCmd, {"click 213", "click 216", "ok"}, rec), 0);
  EXPECT_EQ(rec->drawOpts.bCircles, 2);
  EXPECT_EQ(rec->drawOpts.bBorder, 0);
  EXPECT_EQ(std::memcmp(&Info()->drawOpts, &global, sizeof global), 0);
  EXPECT_EQ(ReadFileBytes(Ini()), before);

  // A record that cannot be copied shows no dialog.
  rec->cbTotal = 70000;
  EXPECT_EQ(Run(DrawOptsCmd, {"ok"}, rec), 514);
  EXPECT_TRUE(platform::HasQueuedAction()) << "the dialog must not have run";
  std::free(rec);
}

TEST_F(DialogsTest, RotationsAddUpAcrossRunsAndReachLaterStructures) {
  Start(Libs());
  ASSERT_EQ(Run(DrawOptsCmd, {"click 214", "click 214", "ok"}), 0);
  EXPECT_EQ(Info()->drawOpts.bRotate, 2);
  ASSERT_EQ(Run(DrawOptsCmd, {"click 214", "click 214", "click 214", "ok"}), 0);
  EXPECT_EQ(Info()->drawOpts.bRotate, 1);
  EXPECT_FALSE(Has(ReadFileBytes(Ini()), "Rotate"));
  CSDRAWREC* rec = Load(-1);  // carries the pending turn
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->drawOpts.bRotate, 1);
  // An object's pending turn is kept: two stored, one more clicked.
  rec->drawOpts.bRotate = 2;
  ASSERT_EQ(Run(DrawOptsCmd, {"click 214", "ok"}, rec), 0);
  EXPECT_EQ(rec->drawOpts.bRotate, 3);
  std::free(rec);
}

TEST_F(DialogsTest, ColourAndFontChoosersReachTheSettings) {
  Start(Libs());
  ASSERT_EQ(Run(DrawOptsCmd, {"click 203", "color 255 0 0", "check 206 1", "click 208",
                              "font Arial 14 700 0", "ok"}),
            0);
  const std::string ini = ReadFileBytes(Ini());
  EXPECT_TRUE(Has(ini, "CustomColor1=255   0   0\r\n"));
  EXPECT_TRUE(Has(ini, "FaceName=Arial\r\n"));
  EXPECT_TRUE(Has(ini, "Height=-19\r\n"));
  EXPECT_TRUE(Has(ini, "Weight=700\r\n"));
  EXPECT_TRUE(Has(ini, "TextSize=-14\r\n")) << "Abs keeps the chosen size negative";
  // A size the chooser cannot take is refused, and it goes on.
  std::string out;
  ASSERT_EQ(
      Run(DrawOptsCmd, {"click 208", "dump", "font Arial 30 400 0", "font Arial 11 400 1", "ok"},
          nullptr, &out),
      0);
  EXPECT_TRUE(Has(out, "  size: 14\n")) << "the chooser starts from the magnitude";
  EXPECT_EQ(Info()->drawOpts.lFontHeight, -11);
  EXPECT_EQ(Info()->drawOpts.lfLabel.lfItalic, 1);
}

TEST_F(DialogsTest, LibraryGroupAddsTheSampleAndAnExistingIdNeedsTwoPresses) {
  Start(Libs());
  const std::string user = tmp_.file("user.sdb");
  std::string out;
  // The group lies outside the collapsed dialog: nothing reaches it.
  std::vector<std::string> messages;
  const platform::Console saved = platform::GetConsole();
  platform::Console console = saved;
  console.message = [&](const std::string& m) { messages.push_back(m); };
  platform::SetConsole(console);
  ASSERT_EQ(Run(DrawOptsCmd,
                {"set 501 12", "click 219", "dump", "set 501 4294967297", "set 506 " + user,
                 "click 512", "set 501 64175", "set 221 Ethyl", "click 512", "dump", "cancel"},
                nullptr, &out),
            0);
  platform::SetConsole(saved);
  EXPECT_TRUE(Has(out, "501 EDIT \"\"\n")) << "typing into the hidden half is ignored";
  // Expanding with no ID leaves Add disabled; an ID past 32 bits is refused
  // with a message (it is not ID 1).
  EXPECT_TRUE(Has(out.substr(0, out.find("dialog 200", 1)),
                  "512 BUTTON \"Add Structure to Library\" disabled\n"));
  EXPECT_EQ(messages,
            std::vector<std::string>{"The ID number must be a whole number from 1 to 2147483647."});
  EXPECT_EQ(FindIndexEntry(&host_, user.c_str(), 1), 0);
  EXPECT_NE(FindIndexEntry(&host_, user.c_str(), 64175), 0);
  EXPECT_TRUE(Has(out.substr(out.rfind("dialog 200")), "219 BUTTON"));

  ASSERT_EQ(Run(DrawOptsCmd,
                {"click 219", "set 506 " + user, "set 501 64175", "click 512", "dump", "click 512",
                 "cancel"},
                nullptr, &out),
            0);
  EXPECT_TRUE(Has(out, "512 BUTTON \"Overwrite\""));
  EXPECT_TRUE(Has(out, "502 STATIC \"ID number exists in this database, OK to overwrite?\"\n"));
  CSDRAWREC* stored = nullptr;
  ASSERT_EQ(LoadStructureFromFile(&host_, Info(), user.c_str(), -2, &stored), 0)
      << "the second press stored it again";
  std::free(stored);
}

TEST_F(DialogsTest, APromptInsideTheEditDialogLeavesTheEditDialogsModeAlone) {
  Start(Libs());
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  Info()->lUserLibMode = LIBDLG_EDIT;
  Info()->nDlgStatus = 7;
  platform::QueueAction("cancel");
  CSDRAWREC* rec = OneBondRecord("inner");
  PromptForLibraryId(client_->get(), rec, "inner.sdb", INVALID_HANDLE_VALUE);
  std::free(rec);
  EXPECT_EQ(Info()->lUserLibMode, LIBDLG_EDIT);
  EXPECT_EQ(Info()->nDlgStatus, 7);
}

TEST_F(DialogsTest, ViewListsBondsLabelsAndCirclesAndSetsButton) {
  Start(Libs());
  // Two bonds and one label, no circle.
  const size_t cb = CSDRAWREC_HEADER + 2 + 5 * 8 + 4;
  auto* rec = static_cast<CSDRAWREC*>(std::calloc(cb, 1));
  rec->cbTotal = cb;
  rec->nBonds = 2;
  rec->nLabels = 1;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = CSDRAWREC_HEADER + 2;
  rec->offLabels = CSDRAWREC_HEADER + 2 + 40;
  rec->iFirstLabel = 4;
  rec->iFirstCircle = 5;
  RecBondTypes(rec)[1] = BOND_DOUBLE;
  const POINT pts[] = {{0, 0}, {10, 0}, {10, 0}, {10, -20}, {10, -20}};
  for (int i = 0; i < 5; ++i) SetRecPoint(rec, i, pts[i]);
  std::memcpy(reinterpret_cast<char*>(rec) + rec->offLabels, "OH", 3);
  std::string out;
  ASSERT_EQ(Run(ChemStrucView, {"dump", "ok"}, rec, &out), 0);
  EXPECT_TRUE(Has(out,
                  "105 LISTBOX \"\"\n"
                  "  item 0: 1: Bond [0] from (0, 0) to (10, 0)\n"
                  "  item 1: 2: Bond [1] from (10, 0) to (10, -20)\n"
                  "  item 2: 1: String (10, -20): OH\n"));
  EXPECT_FALSE(Has(out, "item 3"));
  EXPECT_EQ(host_.numbers["_BUTTON"], 1);
  ASSERT_EQ(Run(ChemStrucView, {"cancel"}, rec), 0);
  EXPECT_EQ(host_.numbers["_BUTTON"], 0);
  std::free(rec);
}

TEST_F(DialogsTest, DatabaseListMovesRemovesAddsAndSavesWhole) {
  std::string ini = "[Globals]\r\nTextSize=12\r\n[Databases]\r\n";
  for (const char* name : {"a", "b", "c"})
    ini += std::string(name) + "=c:\\libs\\" + name + ".sdb\r\n";
  Start(ini);
  std::string out;
  ASSERT_EQ(
      Run(DBManageCmd,
          {"select 401 2", "click 402", "select 401 1", "click 403", "dump", "click 402", "ok"},
          nullptr, &out),
      0);
  // After Remove nothing is selected and neither button acts.
  EXPECT_TRUE(
      Has(out, "402 BUTTON \"&Move to Top\" disabled\n403 BUTTON \"&Remove from List\" disabled"));
  EXPECT_EQ(
      ReadFileBytes(Ini()),
      "[Globals]\r\nTextSize=12\r\n[Databases]\r\n1=c:\\libs\\c.sdb\r\n2=c:\\libs\\b.sdb\r\n");

  // The same file twice gives two lines; a relative answer lies in _LIBPATH$.
  host_.strings["_LIBPATH$"] = tmp_.path().string() + "\\";
  ASSERT_EQ(Run(DBManageCmd, {"click 404", "file lib.sdb", "click 404", "file lib.sdb", "ok"}), 0);
  EXPECT_EQ(host_.nErrors, 0);
  CSDRAWREC* rec = Load(50000);
  EXPECT_NE(rec, nullptr);
  std::free(rec);

  // A save that fails leaves the file as it was.
  const std::string before = ReadFileBytes(Ini());
  platform::InjectFault(platform::FaultOp::WriteFile, 1, platform::FaultKind::DiskFull);
  EXPECT_EQ(Run(DBManageCmd, {"select 401 0", "click 403", "ok"}), 550);
  EXPECT_EQ(ReadFileBytes(Ini()), before);

  // An empty list removes the section: lookups then have no library.
  ASSERT_EQ(Run(DBManageCmd, {"select 401 0", "click 403", "select 401 0", "click 403",
                              "select 401 0", "click 403", "select 401 0", "click 403", "ok"}),
            0);
  EXPECT_EQ(ReadFileBytes(Ini()), "[Globals]\r\nTextSize=12\r\n");
  host_.errors.clear();
  EXPECT_EQ(Load(50000), nullptr);
  ASSERT_FALSE(host_.errors.empty());
  EXPECT_EQ(host_.errors.back().first, 542);
}

TEST_F(DialogsTest, TwentyLibrariesUnderLongKeyNamesAllSurvive) {
  std::string ini = "[Databases]\r\n";
  for (int i = 0; i < 20; ++i)
    ini += "a_rather_long_key_name_for_library_number_" + std::to_string(i) + "=lib" +
           std::to_string(i) + ".sdb\r\n";
  Start(ini);
  std::string out;
  ASSERT_EQ(Run(DBManageCmd, {"dump", "ok"}, nullptr, &out), 0);
  EXPECT_TRUE(Has(out, "  item 19: lib19.sdb\n"));
  const std::string saved = ReadFileBytes(Ini());
  EXPECT_TRUE(Has(saved, "1=lib0.sdb\r\n"));
  EXPECT_TRUE(Has(saved, "20=lib19.sdb\r\n"));
}

}  // namespace
