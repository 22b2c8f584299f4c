#include "cui/package_contents.h"

#include <gtest/gtest.h>

#include <string>

#include "cui/package_entries.h"

namespace vk::cui::test {
namespace {

PackageEntry Entry(std::string name, uint32_t method, std::string comment = {}) {
  PackageEntry entry;
  entry.name = std::move(name);
  entry.header.compressionMethod = method;
  entry.header.dosDate = 0x1234;
  entry.comment = std::move(comment);
  entry.localExtra = "local";
  entry.centralExtra = "central";
  return entry;
}

TEST(ReplacePackageEntryTest, ReplacesTheFirstMemberOfThatNameWhateverItsCase) {
  PackageContents contents;
  contents.entries = {Entry("header.CUI", 8), Entry("Header.cui", 8)};
  EXPECT_TRUE(ReplacePackageEntry(&contents, u"Header.cui", "new text"));
  ASSERT_EQ(contents.entries.size(), 2u);
  EXPECT_EQ(contents.entries[0].name, "header.CUI");
  EXPECT_EQ(contents.entries[0].content, "new text");
  EXPECT_EQ(contents.entries[0].header.uncompressedSize, 8u);
  EXPECT_EQ(contents.entries[1].content, "");
}

TEST(ReplacePackageEntryTest, NewMemberCopiesTheTemplateOrTheFirstMember) {
  PackageContents contents;
  contents.entries = {Entry("first", 8, "one"), Entry("second", 0, "two")};
  EXPECT_TRUE(ReplacePackageEntry(&contents, u"WorkspaceRoot.cui", "a", u"SECOND"));
  EXPECT_TRUE(ReplacePackageEntry(&contents, u"RibbonRoot.cui", "bc", u"missing"));
  ASSERT_EQ(contents.entries.size(), 4u);
  const PackageEntry& fromTemplate = contents.entries[2];
  EXPECT_EQ(fromTemplate.name, "WorkspaceRoot.cui");
  EXPECT_EQ(fromTemplate.header.compressionMethod, 0u);
  EXPECT_EQ(fromTemplate.comment, "two");
  EXPECT_EQ(fromTemplate.localExtra, "local");
  EXPECT_EQ(fromTemplate.centralExtra, "central");
  const PackageEntry& fromFirst = contents.entries[3];
  EXPECT_EQ(fromFirst.header.compressionMethod, 8u);
  EXPECT_EQ(fromFirst.comment, "one");
  EXPECT_EQ(fromFirst.content, "bc");
  EXPECT_EQ(fromFirst.header.uncompressedSize, 2u);
  // The announced count stays as read.
  EXPECT_EQ(contents.entryCount, 0u);
}

TEST(ReplacePackageEntryTest, NewMemberOfAnEmptyPackageIsBlank) {
  PackageContents contents;
  EXPECT_TRUE(ReplacePackageEntry(&contents, u"Header.cui", "x"));
  ASSERT_EQ(contents.entries.size(), 1u);
  EXPECT_EQ(contents.entries[0].name, "Header.cui");
  EXPECT_EQ(contents.entries[0].header.compressionMethod, 0u);
  EXPECT_EQ(contents.entries[0].comment, "");
  EXPECT_EQ(contents.entries[0].localExtra, "");
}

TEST(CanStorePackageEntriesTest, RefusesWhatMinizipWouldChange) {
  PackageContents contents;
  contents.entries = {Entry("stored", 0), Entry("deflated", 8)};
  EXPECT_TRUE(CanStorePackageEntries(contents));
  contents.entries.push_back(Entry("bzip2", 12));
  EXPECT_FALSE(CanStorePackageEntries(contents));
  contents.entries.back() = Entry(std::string("a\0b", 3), 8);
  EXPECT_FALSE(CanStorePackageEntries(contents));
  contents.entries.back() = Entry("c", 8, std::string("x\0", 2));
  EXPECT_FALSE(CanStorePackageEntries(contents));
  contents.entries.pop_back();
  contents.comment = std::string("\0", 1);
  EXPECT_FALSE(CanStorePackageEntries(contents));
}

}  // namespace
}  // namespace vk::cui::test
