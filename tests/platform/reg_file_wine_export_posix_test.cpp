// The .reg format against Wine's own `reg import` and `reg export`: the
// fixture roundtrip.reg goes through Wine and must come back with the same
// keys, values, types and data, and our writer must write what Wine writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/reg_file.h"
#include "platform/registry_store.h"
#include "platform/text.h"
#include "tests/support/test_paths.h"

namespace vk::platform {
namespace {

constexpr std::u16string_view kRoot = u"HKEY_CURRENT_USER\\Software\\VkRoundTrip";

std::vector<RegFileKey> Subtree(const std::vector<RegFileKey>& records) {
  std::vector<RegFileKey> subtree;
  for (const RegFileKey& record : records) {
    if (record.path == kRoot || record.path.starts_with(std::u16string(kRoot) + u"\\"))
      subtree.push_back(record);
  }
  return subtree;
}

// The subtree with its values sorted by name: Wine enumerates values sorted,
// Windows in creation order.
std::vector<RegFileKey> Contents(const RegistryStore& store) {
  std::vector<RegFileKey> contents = Subtree(store.Records());
  for (RegFileKey& record : contents) {
    std::sort(record.values.begin(), record.values.end(),
              [](const RegFileValue& a, const RegFileValue& b) {
                return CompareRegistryNames(a.name, b.name) < 0;
              });
  }
  return contents;
}

void Import(std::u16string_view path, RegistryStore* store, std::string* bytes) {
  ASSERT_TRUE(test::ReadWholeFile(path, bytes)) << Utf16ToUtf8(path);
  RegFileError error;
  ASSERT_TRUE(store->Import(*bytes, &error)) << Utf16ToUtf8(error.Describe());
}

// Checks what Wine exported against the fixture it imported.
void ExpectSameAsFixture(std::u16string_view exported) {
  RegistryStore fixture, wine;
  std::string fixtureBytes, wineBytes;
  Import(test::TestDataPath(u"registry\\roundtrip.reg"), &fixture, &fixtureBytes);
  Import(exported, &wine, &wineBytes);
  const std::vector<RegFileKey> expected = Contents(fixture);
  ASSERT_EQ(expected.size(), 5u);
  EXPECT_EQ(Contents(wine), expected);

  // Written again, Wine's export comes out byte for byte.
  EXPECT_EQ(WriteRegFile(Subtree(wine.Records())), wineBytes);
  RegistryStore again;
  RegFileError error;
  ASSERT_TRUE(again.Import(wine.Export(), &error)) << Utf16ToUtf8(error.Describe());
  EXPECT_EQ(Contents(again), expected);
}

// What Wine 8's `reg export` wrote after `reg import` of the fixture.
TEST(RegFileWineExportTest, RecordedWineExportMatchesTheFixture) {
  ExpectSameAsFixture(test::TestDataPath(u"registry\\roundtrip_wine_export.reg"));
}

// The same with an export made by the Wine at hand.
TEST(RegFileWineExportTest, FreshWineExportMatchesTheFixture) {
  const char* exported = std::getenv("VK_WINE_REG_EXPORT");
  if (exported == nullptr || *exported == 0)
    GTEST_SKIP() << "VK_WINE_REG_EXPORT names no export to check";
  ExpectSameAsFixture(Utf8ToUtf16(exported));
}

}  // namespace
}  // namespace vk::platform
