// Structure objects: the lookup functions behind CSCREATE and CSEXISTS, and
// the opcodes of the "STRUC" handler.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>

#include "core/common.h"
#include "database/drawrec.h"
#include "objects/entries.h"
#include "support/fakehost.h"
#include "support/libbytes.h"
#include "testutil/faultsweep.h"
#include "testutil/tempdir.h"

using libbytes::DataFile;
using libbytes::IndexFile;
using libbytes::SimpleBody;

namespace {

class StrucObjTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetSystemDirectory(tmp_.path().string());
    std::vector<int32_t> off;
    std::vector<libbytes::Bytes> bodies;
    for (int i = 1; i <= 13; ++i)
      bodies.push_back(SimpleBody(0, 0, 10, 0, "r" + std::to_string(i)));
    testutil::WriteFileBytes(tmp_.file("lib.sdb"), DataFile(0, bodies, &off));
    testutil::WriteFileBytes(tmp_.file("lib.ind"), IndexFile({{50000, off[0]}}));
    testutil::WriteFileBytes(tmp_.file("struct.ini"),
                             "[Databases]\r\nA=" + tmp_.file("lib.sdb") + "\r\n");
  }
  void TearDown() override {
    platform::SetSystemDirectory("");
    platform::ClearFaults();
  }
  OBJ_BASECLASS* Number(double v) {
    auto* o = new OBJ_BASECLASS{};
    o->dValue = v;
    owned_.push_back(o);
    return o;
  }
  OBJ_BASECLASS* String(const char* s) {
    auto* o = new OBJ_BASECLASS{};
    o->idType = ARG_STRING;
    o->pWord1 = new CString(s);
    strings_.push_back(o);
    return o;
  }
  ~StrucObjTest() override {
    for (auto* o : owned_) delete o;
    for (auto* o : strings_) {
      delete static_cast<CString*>(o->pWord1);
      delete o;
    }
  }
  // Calls a function entry; the result (if any) is handed to the caller.
  short Call(FunctionEntry fn, std::vector<OBJ_BASECLASS*> args, OBJ_BASECLASS** result) {
    *result = nullptr;
    return fn(client_.get(), args.data(), result);
  }
  void Destroy(OBJ_BASECLASS* v) {
    if (v && v->idType == ARG_NUMBER) {
      delete v;
      return;
    }
    if (v) {
      EXPECT_EQ(ChemStrucObjOpCall(v, OBJOP_DESTROY, 0, 0, client_.get()), 0);
    }
  }

  testutil::TempDir tmp_;
  fakehost::FakeProcessor host_;
  fakehost::Client client_{host_};
  std::vector<OBJ_BASECLASS*> owned_, strings_;
};

TEST_F(StrucObjTest, ExistsWithIdZeroReadsNothingButShowsTheText) {
  OBJ_BASECLASS* r;
  platform::ClearFaults();
  ASSERT_EQ(Call(ChemStrucExistsInt, {Number(0), String("")}, &r), 0);
  EXPECT_EQ(r->dValue, 0);
  EXPECT_EQ(platform::CallCount(platform::FaultOp::CreateFile), 0);
  EXPECT_EQ(host_.statusTexts.back(),
            std::make_pair(0, std::string("Searching index file for CAS # 0")));
  Destroy(r);
  ASSERT_EQ(Call(ChemStrucExistsStr, {String("50-00-0"), String("")}, &r), 0);
  EXPECT_EQ(r->dValue, 1);
  Destroy(r);
  ASSERT_EQ(Call(ChemStrucExistsInt, {Number(64175), String(tmp_.file("lib.sdb").c_str())}, &r), 0);
  EXPECT_EQ(r->dValue, 0);
  Destroy(r);
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(StrucObjTest, MemoryShortForTheRecordOrTheObjectFailsTheCallAndLeaksNothing) {
  OBJ_BASECLASS* r = nullptr;
  short status = 0;
  const int made = testutil::SweepFaults(platform::FaultOp::HeapAlloc, [&] {
    status = Call(ChemStrucCreateInt, {Number(-1), String("")}, &r);
    if (status != 0) {
      EXPECT_EQ(r, nullptr);
    }
    Destroy(r);
    r = nullptr;
  });
  EXPECT_GT(made, 2);  // the lookup's blocks, the record, the object
  EXPECT_EQ(status, 0);
}

TEST_F(StrucObjTest, NegativeNumbersAreRecordNumbersRoundedAwayFromZero) {
  OBJ_BASECLASS* r;
  ASSERT_EQ(Call(ChemStrucCreateInt, {Number(-12.5), String("")}, &r), 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(host_.statusTexts.back().second, "Searching index file for CAS # to Rec # 13");
  auto* rec = static_cast<CSDRAWREC*>(r->pWord3);
  EXPECT_STREQ(rec->szName, "r13");
  EXPECT_EQ(rec->lId, -13);
  EXPECT_EQ(r->idType, GetDllInfo(client_.get())->idStrucType);
  EXPECT_EQ(r->pWord1, nullptr);
  Destroy(r);
}

TEST_F(StrucObjTest, MissingSecondArgumentIsAnErrorAndLooksNothingUp) {
  OBJ_BASECLASS* r;
  platform::ClearFaults();
  EXPECT_EQ(Call(ChemStrucCreateInt, {Number(50000), nullptr}, &r), 534);
  EXPECT_EQ(r, nullptr);
  EXPECT_EQ(host_.errors.back().second, "Bad parameter (2) passed to function or command");
  EXPECT_EQ(platform::CallCount(platform::FaultOp::CreateFile), 0);
  EXPECT_EQ(Call(ChemStrucGetID, {nullptr, String("")}, &r), 534);
  EXPECT_EQ(host_.errors.back().second, "Bad parameter (1) passed to function or command");
  ASSERT_EQ(Call(ChemStrucGetID, {Number(5), String("")}, &r), 0);
  EXPECT_EQ(r->dValue, 0);
  Destroy(r);
  // A missing first argument is ID 0: record 0, which no library holds.
  EXPECT_EQ(Call(ChemStrucCreateStr, {nullptr, String("")}, &r), 527);
}

TEST_F(StrucObjTest, HandlerDescribesDuplicatesNamesAndDestroys) {
  OBJ_BASECLASS* r;
  ASSERT_EQ(Call(ChemStrucCreateInt, {Number(50000), String("")}, &r), 0);
  CCpClient* c = client_.get();

  BSTR text = nullptr;
  ASSERT_EQ(ChemStrucObjOpCall(r, OBJOP_DESCRIBE, reinterpret_cast<intptr_t>(&text), 0, c), 0);
  EXPECT_STREQ(text, "r1");
  SysFreeString(text);

  OBJ_BASECLASS* copy = nullptr;
  ASSERT_EQ(ChemStrucObjOpCall(r, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&copy), 0, c), 0);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->pWord3, r->pWord3);
  const auto* a = static_cast<CSDRAWREC*>(r->pWord3);
  EXPECT_EQ(std::memcmp(a, copy->pWord3, a->cbTotal), 0);

  char name[3] = {'x', 'x', 'x'};
  EXPECT_EQ(ChemStrucObjOpCall(r, OBJOP_TYPENAME, reinterpret_cast<intptr_t>(name), 3, c), 0);
  EXPECT_STREQ(name, "ST");
  char untouched = 'u';
  EXPECT_EQ(ChemStrucObjOpCall(r, OBJOP_TYPENAME, reinterpret_cast<intptr_t>(&untouched), 0, c), 0);
  EXPECT_EQ(untouched, 'u');

  EXPECT_EQ(ChemStrucObjOpCall(r, 42, 0, 0, c), 537);
  EXPECT_EQ(host_.errors.back().second, "Structure objects do not support opcode: 42");

  Destroy(copy);
  Destroy(r);

  OBJ_BASECLASS empty{};
  EXPECT_EQ(ChemStrucObjOpCall(&empty, OBJOP_DESCRIBE, reinterpret_cast<intptr_t>(&text), 0, c),
            531);
  EXPECT_EQ(ChemStrucObjOpCall(&empty, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&copy), 0, c),
            536);
}

TEST_F(StrucObjTest, SetModeNeedsItsArgument) {
  EXPECT_EQ(SetModeCmd(client_.get(), std::vector<OBJ_BASECLASS*>{nullptr}.data()), 534);
  EXPECT_EQ(SetModeCmd(client_.get(), std::vector<OBJ_BASECLASS*>{Number(2.6)}.data()), 0);
  EXPECT_EQ(GetDllInfo(client_.get())->lMode, 3);
}

}  // namespace
