// What identifies a member survives a save: a name marked as UTF-8 stays
// marked, "version made by" stays, and zip64 sizes read with a member are
// neither lost on posix nor copied stale into the saved archive.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::TempFolder;
using vk::test::WriteWholeFile;
using xml::XmlDocument;

// Opens the package, changes its header part and saves it; the members saved.
PackageContents OpenEditSave(const std::u16string& path) {
  PackageContents saved;
  XmlDocument package(OpenCustomisationFile(path));
  EXPECT_NE(package, nullptr);
  if (package == nullptr) return saved;
  xml::XmlNode* root = FindPart(package.get(), u"Header.cui")->firstChild->next;
  EXPECT_TRUE(xml::NodeSetValue(root, u"edited"));
  EXPECT_EQ(SaveCustomisationFile(path, package.get(), false), kSaveOk);
  EXPECT_TRUE(LoadPackageEntries(&saved, path));
  return saved;
}

TEST(PackageMembersTest, Utf8NamesAndVersionMadeByAreKept) {
  TempFolder folder;
  const std::u16string path = folder.Join(u"složka č\\menu.cuix");
  ASSERT_EQ(platform::MakeFolder(folder.Join(u"složka č")), platform::kErrorSuccess);
  std::vector<TestMember> members = {{"Header.cui", PartXml("CustSection")},
                                     {"Images/ikona_žluťoučký.bmp", "BM-ikona", 0},
                                     {"Images/legacy name.bmp", "BM-legacy", Z_DEFLATED}};
  members[0].versionMadeBy = 0x0014;
  members[1].utf8NameFlag = kUtf8NameFlag;
  members[1].versionMadeBy = 0x031E;  // Unix, ZIP 3.0
  members[2].versionMadeBy = 0x0B14;  // NTFS
  ASSERT_TRUE(WriteTestPackage(path, members));

  const PackageContents saved = OpenEditSave(path);
  ASSERT_EQ(saved.entries.size(), members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    SCOPED_TRACE(members[i].name);
    EXPECT_EQ(saved.entries[i].name, members[i].name);
    EXPECT_EQ(saved.entries[i].header.flag & kUtf8NameFlag, members[i].utf8NameFlag);
    EXPECT_EQ(saved.entries[i].header.version, members[i].versionMadeBy);
  }
  EXPECT_EQ(saved.entries[1].content, "BM-ikona");
}

void PutLe(std::string* bytes, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes->push_back(static_cast<char>(value >> (8 * i)));
}

std::string Subfield(uint16_t id, std::string_view data) {
  std::string field;
  PutLe(&field, id, 2);
  PutLe(&field, data.size(), 2);
  field.append(data);
  return field;
}

// A one-member archive as "zip -fz" writes it: the 32-bit size fields hold
// the zip64 sentinel and the sizes stand in a zip64 subfield (local and
// central), here followed by another subfield of the writer's own.
std::string Zip64Archive(std::string_view name, std::string_view content,
                         std::string_view localOther, std::string_view centralOther) {
  std::string sizes;
  PutLe(&sizes, content.size(), 8);  // uncompressed
  PutLe(&sizes, content.size(), 8);  // compressed (stored)
  const std::string zip64 = Subfield(0x0001, sizes);
  const auto header = [&](bool central, std::string_view extra) {
    std::string bytes;
    PutLe(&bytes, central ? 0x02014b50 : 0x04034b50, 4);
    if (central) PutLe(&bytes, 0x031E, 2);  // version made by
    PutLe(&bytes, 45, 2);                   // version needed: zip64
    PutLe(&bytes, 0, 2);                    // flag
    PutLe(&bytes, 0, 2);                    // stored
    PutLe(&bytes, 0x5A6B3C4D, 4);           // DOS time and date
    PutLe(&bytes, Crc(content), 4);
    PutLe(&bytes, 0xFFFFFFFF, 4);
    PutLe(&bytes, 0xFFFFFFFF, 4);
    PutLe(&bytes, name.size(), 2);
    PutLe(&bytes, extra.size(), 2);
    if (central) {
      PutLe(&bytes, 0, 2);  // comment length
      PutLe(&bytes, 0, 2);  // disk
      PutLe(&bytes, 0, 2);  // internal attributes
      PutLe(&bytes, 0, 4);  // external attributes
      PutLe(&bytes, 0, 4);  // local header offset
    }
    bytes.append(name);
    bytes.append(extra);
    return bytes;
  };
  std::string archive = header(false, zip64 + std::string(localOther));
  archive.append(content);
  const std::string directory = header(true, zip64 + std::string(centralOther));
  const size_t directoryOffset = archive.size();
  archive += directory;
  PutLe(&archive, 0x06054b50, 4);
  PutLe(&archive, 0, 4);  // disk numbers
  PutLe(&archive, 1, 2);
  PutLe(&archive, 1, 2);
  PutLe(&archive, directory.size(), 4);
  PutLe(&archive, directoryOffset, 4);
  PutLe(&archive, 0, 2);
  return archive;
}

TEST(PackageMembersTest, Zip64MembersOpenAndSaveWithoutStaleSizes) {
  TempFolder folder;
  const std::u16string path = folder.Join(u"zip64.cuix");
  const std::string localOther = Subfield(0xCAFE, "local");
  const std::string centralOther = Subfield(0x7075, std::string("\x01\x00\x00\x00\x00", 5));
  ASSERT_TRUE(WriteWholeFile(
      path, Zip64Archive("Header.cui", PartXml("CustSection"), localOther, centralOther)));

  PackageContents read;
  ASSERT_TRUE(LoadPackageEntries(&read, path));
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].header.uncompressedSize, PartXml("CustSection").size());

  const PackageContents saved = OpenEditSave(path);
  ASSERT_EQ(saved.entries.size(), 1u);
  EXPECT_EQ(saved.entries[0].localExtra, localOther);
  EXPECT_EQ(saved.entries[0].centralExtra, centralOther);
  EXPECT_EQ(saved.entries[0].header.uncompressedSize, saved.entries[0].content.size());
}

// Only zip64 subfields go; a tail that is no whole subfield stays as it was.
TEST(PackageMembersTest, SavedExtraFieldDropsOnlyZip64Subfields) {
  const std::string other = Subfield(0xCAFE, "ab");
  const std::string zip64 = Subfield(0x0001, std::string(16, '\xFF'));
  EXPECT_EQ(SavedExtraField(zip64 + other), other);
  EXPECT_EQ(SavedExtraField(other + zip64 + other), other + other);
  const std::string brokenTail("\x01\x00\x09", 3);
  EXPECT_EQ(SavedExtraField(other + brokenTail), other + brokenTail);
  EXPECT_EQ(SavedExtraField(""), "");
}

}  // namespace
}  // namespace vk::cui::test
