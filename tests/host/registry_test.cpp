// Registration through the command processor's operations, as a plug-in
// makes it: type ids, packed command types, overloaded commands, what is
// refused, and the --list lines that come out of it.
#include <gtest/gtest.h>

#include <sstream>

#include "listing.h"
#include "runtime.h"
#include "values.h"

namespace {

short Fn(CCpClient*, OBJ_BASECLASS**, OBJ_BASECLASS**) { return 0; }
short Cmd(CCpClient*, OBJ_BASECLASS**) { return 0; }
short Op(OBJ_BASECLASS*, unsigned short, intptr_t, intptr_t, CCpClient*) { return 0; }

class RegistryTest : public ::testing::Test {
 protected:
  std::ostringstream err_;
  host::Console console_{err_, false};
  host::Runtime rt_{console_};
  CCpClient client_{};

  std::string Listing() {
    std::ostringstream out;
    host::WriteListing(rt_.registry(), out);
    return out.str();
  }
};

TEST_F(RegistryTest, HostTypesComeFirstAndPluginTypesFollow) {
  BYTE ms = 0, chro = 0, range = 0, struc = 0, wstru = 0;
  EXPECT_EQ(rt_.LookupObjectType("MS", &ms), 0);
  EXPECT_EQ(rt_.LookupObjectType("CHRO", &chro), 0);
  EXPECT_EQ(rt_.LookupObjectType("RANGE", &range), 0);
  EXPECT_EQ(range, 2);
  EXPECT_EQ(ms, 3);
  EXPECT_EQ(chro, 4);
  EXPECT_EQ(rt_.RegisterObjectType("STRUC", Op, &client_, &struc), 0);
  EXPECT_EQ(rt_.RegisterObjectType("wSTRU", Op, &client_, &wstru), 0);
  EXPECT_EQ(struc, 5);
  EXPECT_EQ(wstru, 6);
  BYTE id = 77;
  EXPECT_NE(rt_.LookupObjectType("ms", &id), 0);  // type names keep their case
  EXPECT_EQ(id, 77);
  EXPECT_NE(rt_.RegisterObjectType("STRUC", Op, &client_, &id), 0);
  EXPECT_NE(rt_.RegisterObjectType("NOHANDLER", nullptr, &client_, &id), 0);
  EXPECT_EQ(Listing(), "type STRUC 5\ntype wSTRU 6\n");
}

TEST_F(RegistryTest, ListingShowsEveryFormInRegistrationOrder) {
  BYTE struc = 0, ms = 0, range = 0, meta = 0, chro = 0;
  rt_.RegisterObjectType("STRUC", Op, &client_, &struc);
  rt_.RegisterObjectType("META", Op, &client_, &meta);
  rt_.LookupObjectType("MS", &ms);
  rt_.LookupObjectType("CHRO", &chro);
  rt_.LookupObjectType("RANGE", &range);
  const BYTE numStr[] = {ARG_NUMBER, ARG_STRING};
  const BYTE strStr[] = {ARG_STRING, ARG_STRING};
  EXPECT_EQ(rt_.RegisterFunction("CSCREATE", Fn, 2, numStr, &client_), 0);
  EXPECT_EQ(rt_.RegisterFunction("CSMFCreate", Fn, 0, nullptr, &client_), 0);
  EXPECT_EQ(rt_.RegisterFunction("CSCREATE", Fn, 2, strStr, &client_), 0);
  EXPECT_EQ(rt_.RegisterCommand("ClipCvt", Cmd, 0xFFFFFFFFu, &client_), 0);
  // First argument in the lowest byte; 0xFF ends a shorter list.
  const DWORD packed = struc | (ms << 8) | (range << 16) | (static_cast<DWORD>(range) << 24);
  EXPECT_EQ(rt_.RegisterCommand("CSAttach", Cmd, packed, &client_), 0);
  EXPECT_EQ(rt_.RegisterCommand("CSSubset", Cmd, 0xFFFF0101u, &client_), 0);
  EXPECT_EQ(rt_.RegisterCommand("CSSetMode", Cmd, 0xFFFFFF00u, &client_), 0);
  const BYTE msForm[] = {meta, ms, range, range};
  const BYTE chroForm[] = {meta, chro, range, range};
  EXPECT_EQ(rt_.RegisterOverloadedCommand(CString("CSMFATTACH"), Cmd, 2, 4, msForm, CString("x"),
                                          &client_),
            0);
  EXPECT_EQ(rt_.AddCommandOverload(CString("CSMFATTACH"), Cmd, 4, chroForm, &client_), 0);
  EXPECT_EQ(Listing(),
            "type STRUC 5\n"
            "type META 6\n"
            "function CSCREATE(number, string)\n"
            "function CSMFCreate()\n"
            "function CSCREATE(string, string)\n"
            "command ClipCvt\n"
            "command CSAttach STRUC, MS, RANGE, RANGE\n"
            "command CSSubset string, string\n"
            "command CSSetMode number\n"
            "command CSMFATTACH META, MS, RANGE, RANGE\n"
            "command CSMFATTACH META, CHRO, RANGE, RANGE\n");
  ASSERT_NE(rt_.registry().Function("cscreate"), nullptr);
  EXPECT_EQ(rt_.registry().Function("cscreate")->forms.size(), 2u);
  EXPECT_EQ(rt_.registry().Command("csmfattach")->forms.size(), 2u);
}

TEST_F(RegistryTest, RefusedRegistrationsChangeNothing) {
  const BYTE unknownType[] = {ARG_NUMBER, 42};
  EXPECT_NE(rt_.RegisterFunction("F", Fn, 2, unknownType, &client_), 0);
  EXPECT_NE(rt_.RegisterFunction("F", nullptr, 0, nullptr, &client_), 0);
  EXPECT_NE(rt_.RegisterFunction("F", Fn, 1, nullptr, &client_), 0);
  EXPECT_NE(rt_.RegisterFunction("F", Fn, -1, nullptr, &client_), 0);
  EXPECT_NE(rt_.RegisterFunction("two words", Fn, 0, nullptr, &client_), 0);
  EXPECT_NE(rt_.RegisterCommand("C", Cmd, 0xFFFFFF09u, &client_), 0);  // type 9 unknown
  const BYTE one[] = {ARG_NUMBER};
  EXPECT_NE(rt_.AddCommandOverload(CString("Nothing"), Cmd, 1, one, &client_), 0);
  EXPECT_NE(rt_.RegisterOverloadedCommand(CString("Sel"), Cmd, 2, 1, one, CString("z"), &client_),
            0);
  EXPECT_EQ(Listing(), "");
  EXPECT_EQ(rt_.registry().Function("F"), nullptr);
  EXPECT_NE(err_.str().find("error: cannot register function F: F names an unknown type 42\n"),
            std::string::npos);
}

TEST_F(RegistryTest, MakeResultAndVariables) {
  OBJ_BASECLASS* result = nullptr;
  double d = 2.5;
  ASSERT_EQ(rt_.MakeResult(ARG_NUMBER, 12, &d, &result), 0);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->idType, ARG_NUMBER);
  EXPECT_DOUBLE_EQ(result->dValue, 2.5);
  // A second result replaces the first rather than leaking it.
  ASSERT_EQ(rt_.MakeResult(ARG_STRING, 12, "text", &result), 0);
  EXPECT_EQ(result->idType, ARG_STRING);
  EXPECT_STREQ(static_cast<CString*>(result->pWord1)->GetString(), "text");
  EXPECT_NE(rt_.MakeResult(7, 12, &d, &result), 0);
  rt_.Destroy(result);

  LPCSTR text = nullptr;
  EXPECT_NE(rt_.GetStringVariable("NAME$", &text), 0);
  EXPECT_EQ(rt_.nErrors, 1);
  rt_.variables().Set("name$", host::NewString("C:\\lib"));
  ASSERT_EQ(rt_.GetStringVariable("NAME$", &text), 0);
  EXPECT_STREQ(text, "C:\\lib");
  EXPECT_EQ(rt_.nErrors, 1);  // found: no count
  EXPECT_EQ(rt_.SetNumericVariable("Count", 4), 0);
  EXPECT_EQ(rt_.SetNumericVariable("COUNT", 5), 0);
  EXPECT_DOUBLE_EQ(rt_.variables().Find("count")->dValue, 5);
  EXPECT_NE(rt_.SetNumericVariable("text$", 1), 0);
}

}  // namespace
