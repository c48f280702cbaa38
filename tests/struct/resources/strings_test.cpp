// The plug-in's string table: ids, the exact texts that callers and users depend
// on, and the printf conversions that formatting code must match with its arguments.
#include "resources/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

const RES_STRING* FindString(UINT id) {
  for (size_t i = 0; i < g_nStructStrings; ++i) {
    if (g_StructStrings[i].id == id) return &g_StructStrings[i];
  }
  return nullptr;
}

std::string Text(UINT id) {
  const RES_STRING* p = FindString(id);
  return p && p->text ? std::string(p->text) : std::string("<missing>");
}

// The conversions of a printf format, each reduced to its length modifier and
// conversion character ("ld", "s", "%", ...); flags, width and precision dropped.
// An unterminated or unparsable conversion yields "?".
std::vector<std::string> Conversions(const char* fmt) {
  std::vector<std::string> out;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    while (*p && std::strchr("-+ #0", *p)) ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '.') {
      ++p;
      while (*p >= '0' && *p <= '9') ++p;
    }
    std::string conv;
    while (*p == 'l' || *p == 'h') conv += *p++;
    if (!*p) {
      out.push_back("?");
      break;
    }
    conv += *p;
    out.push_back(conv);
  }
  return out;
}

bool InRange(UINT id, UINT lo, UINT hi) { return id >= lo && id <= hi; }

TEST(StructStrings, IdsAreUniqueAndSorted) {
  ASSERT_GT(g_nStructStrings, 0u);
  for (size_t i = 1; i < g_nStructStrings; ++i) {
    EXPECT_LT(g_StructStrings[i - 1].id, g_StructStrings[i].id)
        << "entry " << i << " (id " << g_StructStrings[i].id << ")";
  }
}

TEST(StructStrings, EveryEntryHasTextInAKnownRange) {
  for (size_t i = 0; i < g_nStructStrings; ++i) {
    const RES_STRING& s = g_StructStrings[i];
    EXPECT_NE(s.text, nullptr) << "id " << s.id;
    EXPECT_TRUE(InRange(s.id, 256, 325) || InRange(s.id, 512, 554) || InRange(s.id, 768, 793) ||
                InRange(s.id, 1280, 1286) || InRange(s.id, 1632, 1672) || s.id == 1792)
        << "id " << s.id;
  }
}

TEST(StructStrings, MostUsedMessagesAreExact) {
  EXPECT_EQ(Text(534), "Bad parameter (%ld) passed to function or command");
  EXPECT_EQ(Text(529), "Could not open file (%s)");
  EXPECT_EQ(Text(526), "Structure data base does not contain CAS #%s");
  EXPECT_EQ(Text(527), "Structure data base does not contain record #%ld");
  EXPECT_EQ(Text(554), "Memory allocation failed in struct.dll (locator code %u)");
  EXPECT_EQ(Text(514), "Not enough free local memory to operate");
  EXPECT_EQ(Text(542), "No structure library defined, use CSLib to setup");
}

TEST(StructStrings, OddSpellingsAndSpacingAreKept) {
  EXPECT_EQ(Text(523), "Error durring close of file (%s)");
  EXPECT_EQ(Text(541), "Unable to draw stucture, incorrectly formatted bond line");
  EXPECT_EQ(Text(261),
            "Could not open structure database for edit.  "
            "The structure database must be a user-created database.");
  EXPECT_EQ(Text(1632), "Map mode: %s,  xExt: %d,  yExt: %d");
  EXPECT_EQ(Text(1648), "Text: ");
  EXPECT_EQ(Text(262), "Window: ");
  EXPECT_EQ(Text(1792), "Co&py\tCtrl+C");
}

TEST(StructStrings, NameStatusAndFontTextsAreExact) {
  EXPECT_EQ(Text(785), "CAS # %s");
  EXPECT_EQ(Text(786), "Rec # %ld ");  // the trailing blank belongs to record names
  EXPECT_EQ(Text(787), "Searching index file for CAS # %ld");
  EXPECT_EQ(Text(788), "Searching index file for CAS # to Rec # %ld");
  EXPECT_EQ(Text(793), "Lucida Console");
  EXPECT_EQ(Text(789), "Overwrite");
  EXPECT_EQ(Text(791), "Add Structure to Library");
}

TEST(StructStrings, ColourItemNamesFollowTheItemOrder) {
  const char* const expected[] = {"Single Bonds",   "Double Bonds",    "Triple Bonds",
                                  "Aromatic Rings", "Text Background", "Text Strings",
                                  "Border"};
  for (UINT i = 0; i < 7; ++i) EXPECT_EQ(Text(1280 + i), expected[i]) << "item " << i;
  EXPECT_EQ(IDS_COLOR_SINGLEBONDS, 1280);
  EXPECT_EQ(IDS_COLOR_BORDER, 1286);
}

TEST(StructStrings, NamedIdsMatchTheirNumbers) {
  EXPECT_EQ(IDS_ERR_BADPARAM, 534);
  EXPECT_EQ(IDS_ERR_OPENFILE, 529);
  EXPECT_EQ(IDS_ERR_ALLOCATION, 554);
  EXPECT_EQ(IDS_NAME_CAS, 785);
  EXPECT_EQ(IDS_NAME_RECORD, 786);
  EXPECT_EQ(IDS_STATUS_SEARCHCAS, 787);
  EXPECT_EQ(IDS_STATUS_SEARCHRECORD, 788);
  EXPECT_EQ(IDS_MF_MAPMODE, 1632);
  EXPECT_EQ(IDC_STRUCTURE_CURSOR, 100);
}

TEST(StructStrings, FileFiltersEndWithTheirSeparatorAndHaveATitle) {
  // The file prompt splits a filter at its last character and takes the
  // string with the next id as its title.
  for (UINT id : {IDS_FILTER_DATABASE, IDS_FILTER_MOL}) {
    const std::string f = Text(id);
    ASSERT_FALSE(f.empty()) << "id " << id;
    EXPECT_EQ(f.back(), '|') << "id " << id;
    EXPECT_NE(FindString(id + 1), nullptr) << "title of filter " << id;
  }
  EXPECT_EQ(Text(IDS_TITLE_DATABASE), "Chemical Structure Database Select");
  EXPECT_EQ(Text(IDS_TITLE_MOL), "Molecule File Select");
}

TEST(StructStrings, ConversionsAreOnesFormattingCodeCanType) {
  // %s takes a text, %d an int, %ld a long, %u an unsigned int, %x and %X an
  // unsigned int shown in hex; %% is a literal percent sign.
  const std::vector<std::string> allowed = {"s", "d", "ld", "u", "x", "X", "%"};
  for (size_t i = 0; i < g_nStructStrings; ++i) {
    const RES_STRING& s = g_StructStrings[i];
    if (!s.text) continue;
    for (const std::string& c : Conversions(s.text)) {
      bool ok = false;
      for (const std::string& a : allowed) ok = ok || c == a;
      EXPECT_TRUE(ok) << "id " << s.id << " has conversion %" << c << " in \"" << s.text << "\"";
    }
  }
}

TEST(StructStrings, ErrorMessagesTakeAtMostOneArgument) {
  // The error formatters pass no argument, one long or one text.
  for (size_t i = 0; i < g_nStructStrings; ++i) {
    const RES_STRING& s = g_StructStrings[i];
    if (!InRange(s.id, 512, 554) || !s.text) continue;
    int args = 0;
    for (const std::string& c : Conversions(s.text)) {
      if (c == "%") continue;
      ++args;
      EXPECT_TRUE(c == "s" || c == "ld" || c == "u") << "id " << s.id << ": %" << c;
    }
    EXPECT_LE(args, 1) << "id " << s.id;
  }
}

TEST(StructStrings, ArgumentShapesOfFormattedTexts) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Conversions(Text(534).c_str()), V({"ld"}));
  EXPECT_EQ(Conversions(Text(554).c_str()), V({"u"}));
  EXPECT_EQ(Conversions(Text(786).c_str()), V({"ld"}));
  EXPECT_EQ(Conversions(Text(322).c_str()), V({"d", "d", "%"}));
  EXPECT_EQ(Conversions(Text(323).c_str()), V({"ld", "d", "d", "%"}));
  EXPECT_EQ(Conversions(Text(321).c_str()), V({"s", "d", "d", "d"}));
  EXPECT_EQ(Conversions(Text(768).c_str()), V({"d", "d", "d", "d", "d", "d"}));
  EXPECT_EQ(Conversions(Text(1632).c_str()), V({"s", "d", "d"}));
}

}  // namespace
