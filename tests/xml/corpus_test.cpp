// Every real customisation document of the shared corpus either reads, writes
// and reads back to the same tree, or fails cleanly.
#include <gtest/gtest.h>
#include <unzip.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "tests/support/test_paths.h"
#include "tests/xml/tree_compare.h"
#include "tests/xml/xml_test_support.h"

namespace vk::xml {
namespace {

struct Document {
  std::string name;
  std::string bytes;
};

bool EndsWithNoCase(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() &&
         platform::CompareAsciiNoCase(text.substr(text.size() - end.size()), end) == 0;
}

bool IsXmlMember(std::u16string_view name) {
  return EndsWithNoCase(name, u".cui") || EndsWithNoCase(name, u".xml") ||
         EndsWithNoCase(name, u".rels");
}

// minizip hands the path through untouched: it is ours, a UTF-16 path.
voidpf ZCALLBACK OpenWide(voidpf, const void* path, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  return platform::OpenFile(static_cast<const char16_t*>(path), u"rb");
}

// The XML members of a package, taken out with minizip's 64-bit callbacks.
bool ReadXmlMembers(const std::u16string& path, const std::string& packageName,
                    std::vector<Document>* documents) {
  zlib_filefunc64_def functions;
  fill_fopen64_filefunc(&functions);
  functions.zopen64_file = OpenWide;
  unzFile zip = unzOpen2_64(path.c_str(), &functions);
  if (zip == nullptr) return false;
  bool ok = true;
  for (int step = unzGoToFirstFile(zip); ok && step == UNZ_OK; step = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    char name[512];
    ok = unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK;
    if (!ok || !IsXmlMember(platform::Utf8ToUtf16(name))) continue;
    Document document{packageName + "!" + name, std::string(info.uncompressed_size, '\0')};
    ok = unzOpenCurrentFile(zip) == UNZ_OK &&
         unzReadCurrentFile(zip, document.bytes.data(),
                            static_cast<unsigned>(info.uncompressed_size)) ==
             static_cast<int>(info.uncompressed_size) &&
         unzCloseCurrentFile(zip) == UNZ_OK;
    documents->push_back(std::move(document));
  }
  return unzClose(zip) == UNZ_OK && ok;
}

TEST(XmlCorpusTest, EveryRealDocumentRoundTripsOrFailsCleanly) {
  const std::u16string corpus = vk::test::CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "the shared corpus folder is absent";
  const std::u16string folder = corpus + u"\\cuix";
  std::vector<platform::FolderItem> items;
  ASSERT_TRUE(platform::ListFolder(folder, u"*", &items)) << "corpus not found";

  int files = 0;
  std::vector<Document> documents;
  for (const platform::FolderItem& item : items) {
    const std::string name = platform::Utf16ToUtf8(item.name);
    const std::u16string path = folder + u"\\" + item.name;
    if (EndsWithNoCase(item.name, u".cuix")) {
      EXPECT_TRUE(ReadXmlMembers(path, name, &documents)) << name;
    } else if (EndsWithNoCase(item.name, u".cui") || EndsWithNoCase(item.name, u".aws")) {
      Document document{name, {}};
      ASSERT_TRUE(vk::test::ReadWholeFile(path, &document.bytes)) << name;
      documents.push_back(std::move(document));
    } else {
      continue;
    }
    ++files;
  }
  ASSERT_GE(files, 16) << "corpus incomplete";

  std::vector<std::string> failed;
  test::ScratchStream scratch;
  for (const Document& document : documents) {
    XmlDocument doc = test::Parse(document.bytes);
    if (!doc) {
      failed.push_back(document.name);
      continue;
    }
    EXPECT_TRUE(NodeCheckTree(doc.get())) << document.name;
    const std::string saved = test::Save(doc.get(), scratch.get());
    XmlDocument again = test::Parse(saved);
    ASSERT_TRUE(again) << document.name;
    EXPECT_EQ(test::DescribeRoundTripDifference(doc.get(), again.get()), "") << document.name;
    EXPECT_EQ(test::Save(again.get(), scratch.get()), saved)
        << document.name << " changes on a second save";
  }
  // The one profile that starts with a document type declaration.
  EXPECT_EQ(failed, std::vector<std::string>{"alexandermaly__Profile.aws"});
  std::printf("[ corpus   ] %d files, %zu XML documents, %zu failed cleanly\n", files,
              documents.size(), failed.size());
}

}  // namespace
}  // namespace vk::xml
