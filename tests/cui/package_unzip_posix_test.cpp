// Saved packages pass Debian's "unzip -t", an archive reader independent of minizip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cui/package_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

bool UnzipTests(const std::u16string& path) {
  const std::string command = "unzip -tqq '" + platform::Utf16ToUtf8(path) + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(PackageUnzipTest, SavedPackagesPassUnzipTest) {
  vk::test::TempFolder folder;
  std::vector<std::u16string> packages;
  const std::u16string built = folder.path() + u"/built.cuix";
  ASSERT_TRUE(WriteTestPackage(built,
                               {{"Header.cui", PartXml("CustSection")},
                                {"_rels/.rels", PartXml("Relationships"), 0},
                                {"empty", "", 0}},
                               "comment"));
  packages.push_back(built);
  if (const std::u16string corpus = vk::test::CorpusDir(); !corpus.empty()) {
    std::vector<platform::FolderItem> items;
    ASSERT_TRUE(platform::ListFolder(corpus + u"/cuix", u"*.cuix", &items));
    for (const auto& item : items) packages.push_back(corpus + u"/cuix/" + item.name);
  }
  const std::u16string saved = folder.path() + u"/saved.cuix";
  for (const std::u16string& path : packages) {
    SCOPED_TRACE(platform::Utf16ToUtf8(path));
    xml::XmlDocument package(OpenCustomisationFile(path));
    ASSERT_NE(package, nullptr);
    ASSERT_EQ(SaveCustomisationFile(saved, package.get(), false), kSaveOk);
    EXPECT_TRUE(UnzipTests(saved));
  }
  std::printf("unzip -t passed for %zu saved packages\n", packages.size());
}

}  // namespace
}  // namespace vk::cui::test
