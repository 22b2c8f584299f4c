// Identifiers continue after the highest number that a document carries for
// their prefix, whatever its spelling, and never fall back to numbers that
// may be in use.
#include "merge/uid_counters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cui/package_file.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using UidCountersTest = CustomisationTest;

struct RaiseCase {
  std::vector<std::string> uids;  // "UID" values in the document
  std::u16string prefix;
  std::u16string next;  // the identifier NextUid gives afterwards
};

// A document that carries each value at a different depth.
std::string DocumentWithUids(const std::vector<std::string>& uids) {
  std::string body = "<Root>";
  std::string closing = "</Root>";
  for (const std::string& uid : uids) {
    body += "<E UID=\"" + uid + "\"><Inner/></E><Deeper>";
    closing = "</Deeper>" + closing;
  }
  return "<?xml version=\"1.0\"?>" + body + closing;
}

TEST_F(UidCountersTest, RaisesEachPrefixAboveItsHighestNumber) {
  const std::vector<RaiseCase> cases = {
      {{"wspu_7"}, u"WSPU_", u"WSPU_8"},  // the prefix ignores letter case
      {{"WSPU_0041", "WSPU_9"}, u"WSPU_", u"WSPU_42"},
      {{"WSPU_9", "WSPU_3"}, u"WSPU_", u"WSPU_10"},  // never lowered
      {{"WSPU_x"}, u"WSPU_", u"WSPU_1"},             // no digits read as 0
      {{"WSPUx_5"}, u"WSPU_", u"WSPU_1"},            // no prefix matches
      {{"WS_12"}, u"WS_", u"WS_13"},
      {{"WS_12"}, u"WSU_", u"WSU_1"},
      {{"WSPU_191_E6AC5"}, u"WSPU_", u"WSPU_192"},
      {{"WS_3DModeling"}, u"WS_", u"WS_4"},
      {{"WSPU_  +5"}, u"WSPU_", u"WSPU_6"},
      {{"WSPU_-0"}, u"WSPU_", u"WSPU_1"},
      {{"WSPU_4294967294"}, u"WSPU_", u"WSPU_4294967295"},
      // Numbers whose successor does not fit leave the counter where it is.
      {{"WSPU_4294967295"}, u"WSPU_", u"WSPU_1"},
      {{"WSPU_-1"}, u"WSPU_", u"WSPU_1"},
      {{"WSPU_99999999999"}, u"WSPU_", u"WSPU_1"},
      {{"WSPU_18446744073709551617"}, u"WSPU_", u"WSPU_1"},
      {{"WSPU_20", "WSPU_4294967295", "WSPU_-3"}, u"WSPU_", u"WSPU_21"},
      {{"xlsr_0099", "WSR_5"}, u"XLSR_", u"XLSR_100"},
      {{"xlsr_0099", "WSR_5"}, u"WSR_", u"WSR_6"},
  };
  for (const RaiseCase& row : cases) {
    SCOPED_TRACE(row.uids.front());
    ResetUidCountersForTesting();
    const std::string text = DocumentWithUids(row.uids);
    xml::XmlDocument document(xml::XmlParse(text.c_str(), text.size()));
    ASSERT_NE(document, nullptr);
    RaiseUidCounters(document.get());
    EXPECT_EQ(NextUid(row.prefix), row.next);
  }
}

TEST_F(UidCountersTest, LooksOnlyAtUidAttributes) {
  const std::string text =
      "<Root uid2=\"WSPU_50\"><Text>WSPU_60</Text><E Name=\"WSPU_70\" uid=\"WSPU_3\"/></Root>";
  xml::XmlDocument document(xml::XmlParse(text.c_str(), text.size()));
  ASSERT_NE(document, nullptr);
  RaiseUidCounters(document.get());
  EXPECT_EQ(NextUid(u"WSPU_"), u"WSPU_4");
}

TEST_F(UidCountersTest, ReadsEveryPartOfAPackage) {
  vk::test::TempFolder folder;
  const std::u16string path = folder.Join(u"menu.cuix");
  ASSERT_TRUE(WriteTestPackage(
      path, {{"Header.cui", PartXml("CustSection", "<A><B><C UID=\"MMU_0077\"/></B></A>")},
             {"WorkspaceRoot.cui", PartXml("WorkspaceRoot", "<W UID=\"WSPU_0041\"/>")},
             {"RibbonRoot.cui", PartXml("RibbonRoot", "<R UID=\"XLSR_12\"/>")},
             {"other.xml", PartXml("X", "<Y UID=\"WSPU_900\"/>")}}));
  xml::XmlDocument package(OpenCustomisationFile(path));
  ASSERT_NE(package, nullptr);
  RaiseUidCounters(package.get());
  EXPECT_EQ(NextUid(u"MMU_"), u"MMU_78");
  EXPECT_EQ(NextUid(u"XLSR_"), u"XLSR_13");
  // A member that is no part is not read.
  EXPECT_EQ(NextUid(u"WSPU_"), u"WSPU_42");
  EXPECT_EQ(NextUid(u"WSPU_"), u"WSPU_43");
}

TEST_F(UidCountersTest, SlotKeepsAGivenNumberAndTakesTheNextOneWhenEmpty) {
  uint32_t slot = 0;
  EXPECT_EQ(NextUid(u"WSR_", &slot), u"WSR_1");
  EXPECT_EQ(slot, 1u);
  EXPECT_EQ(NextUid(u"WSR_", &slot), u"WSR_1");  // taken once
  EXPECT_EQ(NextUid(u"WSR_"), u"WSR_2");
  uint32_t given = 500;
  EXPECT_EQ(NextUid(u"WSR_", &given), u"WSR_500");
  EXPECT_EQ(NextUid(u"WSR_"), u"WSR_3");
  EXPECT_EQ(NextUid(u"NOPE_"), u"");
  EXPECT_EQ(NextUid(u"WSR_", nullptr), u"");
}

TEST_F(UidCountersTest, HandsOutNothingAfterTheLastNumber) {
  const std::string text = DocumentWithUids({"WSPU_4294967294", "WSPU_0"});
  xml::XmlDocument document(xml::XmlParse(text.c_str(), text.size()));
  ASSERT_NE(document, nullptr);
  RaiseUidCounters(document.get());
  EXPECT_EQ(NextUid(u"WSPU_"), u"WSPU_4294967295");
  uint32_t slot = 0;
  EXPECT_EQ(NextUid(u"WSPU_", &slot), u"");
  EXPECT_EQ(slot, 0u);
  // Neither a later raise nor a given number turns the counter round.
  RaiseUidCounters(document.get());
  EXPECT_EQ(NextUid(u"WSPU_"), u"");
  uint32_t given = 12;
  EXPECT_EQ(NextUid(u"WSPU_", &given), u"WSPU_12");
  EXPECT_EQ(NextUid(u"WSR_"), u"WSR_1");
}

}  // namespace
}  // namespace vk::cui::test
