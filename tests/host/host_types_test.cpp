// The host's own object types through ObjectOpCall, as the plug-in reaches
// them: type names, descriptions, the child operations of plots, and copies
// that share nothing with their original.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "plot.h"
#include "runtime.h"

namespace {

class HostTypesTest : public ::testing::Test {
 protected:
  std::ostringstream err_;
  host::Console console_{err_, false};
  host::Runtime rt_{console_};

  intptr_t Addr(void* p) { return reinterpret_cast<intptr_t>(p); }

  std::string TypeName(OBJ_BASECLASS* v, intptr_t size) {
    char buf[32];
    std::memset(buf, 'z', sizeof buf);
    EXPECT_EQ(rt_.ObjectOpCall(v, OBJOP_TYPENAME, Addr(buf), size), 0);
    return buf;
  }
  std::string Describe(OBJ_BASECLASS* v) {
    std::string text;
    EXPECT_EQ(rt_.Describe(v, text), 0);
    return text;
  }
};

TEST_F(HostTypesTest, TypeNamesFitTheCallersBuffer) {
  OBJ_BASECLASS* ms = host::NewPlot(rt_.msType(), 0, 1, 0, 1);
  OBJ_BASECLASS* range = host::NewRange(rt_.rangeType(), 1, 2);
  EXPECT_EQ(TypeName(ms, 20), "MS");
  EXPECT_EQ(TypeName(range, 20), "RANGE");
  EXPECT_EQ(TypeName(range, 3), "RA");
  EXPECT_NE(rt_.ObjectOpCall(range, OBJOP_TYPENAME, 0, 20), 0);
  rt_.Destroy(ms);
  rt_.Destroy(range);
}

TEST_F(HostTypesTest, ChildrenAreAddedListedAndRemoved) {
  OBJ_BASECLASS* plot = host::NewPlot(rt_.chroType(), 0, 10, -1, 1);
  OBJ_BASECLASS* a = host::NewRange(rt_.rangeType(), 1, 2);
  OBJ_BASECLASS* b = host::NewPlot(rt_.msType(), 0, 1, 0, 1);
  EXPECT_EQ(rt_.ObjectOpCall(plot, OBJOP_ADDCHILD, Addr(a), 0), 0);
  EXPECT_EQ(rt_.ObjectOpCall(plot, OBJOP_ADDCHILD, Addr(b), 0), 0);
  EXPECT_NE(rt_.ObjectOpCall(plot, OBJOP_ADDCHILD, Addr(a), 0), 0);  // already a child
  EXPECT_NE(rt_.ObjectOpCall(plot, OBJOP_ADDCHILD, 0, 0), 0);
  EXPECT_NE(rt_.ObjectOpCall(plot, OBJOP_ADDCHILD, Addr(plot), 0), 0);
  EXPECT_EQ(Describe(plot), "CHRO(0, 10, -1, 1) [RANGE, MS]");

  OBJ_BASECLASS* child = nullptr;
  EXPECT_EQ(rt_.ObjectOpCall(plot, OBJOP_GETCHILD, 1, Addr(&child)), 0);
  EXPECT_EQ(child, b);
  child = a;
  EXPECT_NE(rt_.ObjectOpCall(plot, OBJOP_GETCHILD, 2, Addr(&child)), 0);  // past the last
  EXPECT_EQ(child, nullptr);
  EXPECT_NE(rt_.ObjectOpCall(plot, OBJOP_GETCHILD, -1, Addr(&child)), 0);

  // Removing hands the child back; the caller ends it.
  EXPECT_EQ(rt_.ObjectOpCall(plot, OBJOP_REMOVECHILD, Addr(a), 0), 0);
  EXPECT_NE(rt_.ObjectOpCall(plot, OBJOP_REMOVECHILD, Addr(a), 0), 0);
  EXPECT_EQ(rt_.ObjectOpCall(a, OBJOP_DESTROY, 0, 0), 0);
  EXPECT_EQ(Describe(plot), "CHRO(0, 10, -1, 1) [MS]");
  rt_.Destroy(plot);  // ends b with it
}

TEST_F(HostTypesTest, DuplicatesShareNothing) {
  OBJ_BASECLASS* plot = host::NewPlot(rt_.msType(), 0, 10, 0, 5);
  OBJ_BASECLASS* child = host::NewRange(rt_.rangeType(), 1, 2);
  rt_.ObjectOpCall(plot, OBJOP_ADDCHILD, Addr(child), 0);
  OBJ_BASECLASS* copy = nullptr;
  ASSERT_EQ(rt_.Duplicate(plot, &copy), 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, plot);
  EXPECT_EQ(copy->idType, rt_.msType());
  ASSERT_EQ(host::PlotOf(copy)->children.size(), 1u);
  OBJ_BASECLASS* copiedChild = host::PlotOf(copy)->children[0];
  EXPECT_NE(copiedChild, child);
  reinterpret_cast<RANGE_OBJ*>(child)->dTo = 99;
  EXPECT_EQ(Describe(copiedChild), "RANGE(1, 2)");
  rt_.Destroy(plot);
  EXPECT_EQ(Describe(copy), "MS(0, 10, 0, 5) [RANGE]");
  rt_.Destroy(copy);
}

TEST_F(HostTypesTest, RangeKeepsFromAndToWhereThePluginReadsThem) {
  OBJ_BASECLASS* v = host::NewRange(rt_.rangeType(), -3.5, 7);
  const auto* r = reinterpret_cast<const RANGE_OBJ*>(v);
  EXPECT_EQ(r->idType, rt_.rangeType());
  EXPECT_DOUBLE_EQ(r->dFrom, -3.5);
  EXPECT_DOUBLE_EQ(r->dTo, 7);
  BSTR text = nullptr;
  EXPECT_EQ(rt_.ObjectOpCall(v, OBJOP_DESCRIBE, Addr(&text), 0), 0);
  EXPECT_STREQ(text, "RANGE(-3.5, 7)");
  SysFreeString(text);
  EXPECT_NE(rt_.ObjectOpCall(v, OBJOP_DRAW, 0, 0), 0);
  rt_.Destroy(v);
}

}  // namespace
