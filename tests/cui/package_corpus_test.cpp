// Every real package of the shared corpus survives an open and a save: the
// members that are no part come back exactly, and every part reads back as
// the same tree.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/corpus_files.h"
#include "tests/support/test_paths.h"
#include "tests/xml/tree_compare.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using xml::XmlDocument;
using xml::XmlNode;

// Corpus files whose names end in one of `suffixes`, letter case ignored.
// (Windows would match "*.cui" to ".cuix" files through their short names.)
std::vector<std::u16string> CorpusFiles(std::initializer_list<std::u16string_view> suffixes) {
  return vk::test::CorpusCuixFiles([&](std::u16string_view name) {
    for (std::u16string_view suffix : suffixes) {
      if (name.size() > suffix.size() &&
          platform::CompareAsciiNoCase(name.substr(name.size() - suffix.size()), suffix) == 0) {
        return true;
      }
    }
    return false;
  });
}

bool IsPartName(const std::string& name) {
  for (const char16_t* part : PackagePartNames) {
    if (platform::CompareAsciiNoCase(platform::Utf8ToUtf16(name), part) == 0) return true;
  }
  return false;
}

void ExpectSameMembers(const PackageContents& before, const PackageContents& after) {
  EXPECT_EQ(after.comment, before.comment);
  ASSERT_EQ(after.entries.size(), before.entries.size());
  for (size_t i = 0; i < before.entries.size(); ++i) {
    const PackageEntry& a = before.entries[i];
    const PackageEntry& b = after.entries[i];
    SCOPED_TRACE(a.name);
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.comment, a.comment);
    EXPECT_EQ(b.localExtra, a.localExtra);
    EXPECT_EQ(b.centralExtra, a.centralExtra);
    EXPECT_EQ(b.header.compressionMethod, a.header.compressionMethod);
    EXPECT_EQ(b.header.dosDate, a.header.dosDate);
    EXPECT_EQ(b.header.externalAttributes, a.header.externalAttributes);
    EXPECT_EQ(b.header.flag & kUtf8NameFlag, a.header.flag & kUtf8NameFlag);
    EXPECT_EQ(b.header.version, a.header.version);
    // Parts are written anew, and minizip marks deflated text as text.
    if (!IsPartName(a.name)) {
      EXPECT_TRUE(b.content == a.content);
      EXPECT_EQ(b.header.internalAttributes, a.header.internalAttributes);
    }
  }
}

void ExpectSameParts(XmlNode* before, XmlNode* after) {
  XmlNode* a = before->firstChild;
  XmlNode* b = after->firstChild;
  for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
    EXPECT_EQ(b->name.view(), a->name.view());
    EXPECT_EQ(xml::test::DescribeRoundTripDifference(a->firstChild, b->firstChild), "")
        << xml::test::Narrow(a->name.view());
  }
  EXPECT_TRUE(a == nullptr && b == nullptr) << "part counts differ";
}

TEST(PackageCorpusTest, EveryPackageRoundTrips) {
  const std::vector<std::u16string> packages = CorpusFiles({u".cuix"});
  if (vk::test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
  ASSERT_FALSE(packages.empty());
  vk::test::TempFolder folder;
  for (const std::u16string& path : packages) {
    SCOPED_TRACE(xml::test::Narrow(path));
    XmlDocument original(OpenCustomisationFile(path));
    ASSERT_NE(original, nullptr);
    EXPECT_NE(original->firstChild, nullptr);
    PackageContents read;
    ASSERT_TRUE(LoadPackageEntries(&read, path));
    const std::u16string saved = folder.Join(u"saved.cuix");
    ASSERT_EQ(SaveCustomisationFile(saved, original.get(), false), kSaveOk);

    XmlDocument reopened(OpenCustomisationFile(saved));
    ASSERT_NE(reopened, nullptr);
    ExpectSameParts(original.get(), reopened.get());
    PackageContents written;
    ASSERT_TRUE(LoadPackageEntries(&written, saved));
    ExpectSameMembers(read, written);
  }
  std::printf("round-tripped %zu corpus packages\n", packages.size());
}

TEST(PackageCorpusTest, EverySingleFileThatOpensRoundTrips) {
  const std::vector<std::u16string> files = CorpusFiles({u".cui", u".aws"});
  if (vk::test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
  ASSERT_FALSE(files.empty());
  vk::test::TempFolder folder;
  size_t opened = 0;
  for (const std::u16string& path : files) {
    SCOPED_TRACE(xml::test::Narrow(path));
    XmlDocument original(OpenCustomisationFile(path));
    // A DOCTYPE lies outside what the parser reads.
    if (original == nullptr) continue;
    ++opened;
    const std::u16string saved = folder.Join(u"saved.cui");
    ASSERT_EQ(SaveCustomisationFile(saved, original.get(), false), kSaveOk);
    XmlDocument reopened(OpenCustomisationFile(saved));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(xml::test::DescribeRoundTripDifference(original.get(), reopened.get()), "");
  }
  EXPECT_GE(opened + 1, files.size());
  std::printf("round-tripped %zu of %zu corpus single files\n", opened, files.size());
}

}  // namespace
}  // namespace vk::cui::test
