// The registry rules that callers rely on. They run natively against the
// posix store and under Wine against the real registry, with the same
// expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "tests/support/reg_fixture.h"
#include "tests/support/registry_bytes.h"
#include "tests/support/test_paths.h"

namespace vk::platform {
namespace {

using test::SetText;
using test::StoredText;

long SetBytes(RegKey key, std::u16string_view name, const std::vector<uint8_t>& data) {
  return SetValue(key, name, kRegBinary, data.data(), static_cast<uint32_t>(data.size()));
}

// The value's text, or "<error N>".
std::u16string GetText(RegKey key, std::u16string_view name) {
  uint8_t buffer[520];
  uint32_t size = sizeof buffer;
  uint32_t type = 0;
  const long result = QueryValue(key, name, &type, buffer, &size);
  if (result != kErrorSuccess) return u"<error " + Utf8ToUtf16(std::to_string(result)) + u">";
  std::u16string text = Utf16LeToString(buffer, size);
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

std::vector<std::u16string> SubkeyNames(RegKey key) {
  std::vector<std::u16string> names;
  char16_t name[256];
  uint32_t chars = 256;
  while (EnumSubkey(key, static_cast<uint32_t>(names.size()), name, &chars, nullptr, nullptr) ==
         kErrorSuccess) {
    names.emplace_back(name, chars);
    chars = 256;
  }
  return names;
}

// Value names in enumeration order, which differs between Windows (creation
// order) and Wine (sorted), so tests compare them as a set.
std::set<std::u16string> ValueNames(RegKey key) {
  std::set<std::u16string> names;
  char16_t name[256];
  for (uint32_t index = 0;; ++index) {
    uint32_t chars = 256;
    if (EnumValue(key, index, name, &chars, nullptr, nullptr, nullptr) != kErrorSuccess) break;
    names.emplace(name, chars);
  }
  return names;
}

// Each test works in a fresh key of its own below HKCU\Software\VkTest.
class RegistryContractTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = u"Software\\VkTest\\" +
            Utf8ToUtf16(testing::UnitTest::GetInstance()->current_test_info()->name());
    (void)DeleteKeyTree(CurrentUserRoot(), path_);
    ASSERT_EQ(CreateKey(CurrentUserRoot(), path_, kKeyAllAccess, &key_, nullptr), kErrorSuccess);
  }

  void TearDown() override {
    CloseKey(key_);
    EXPECT_EQ(DeleteKeyTree(CurrentUserRoot(), path_), kErrorSuccess);
    (void)DeleteKey(CurrentUserRoot(), u"Software\\VkTest");  // only once it is empty
  }

  RegKey Open(std::u16string_view subkey, uint32_t access) {
    RegKey key = nullptr;
    EXPECT_EQ(OpenKey(key_, subkey, access, &key), kErrorSuccess);
    return key;
  }

  RegKey Create(std::u16string_view subkey, uint32_t* disposition = nullptr) {
    RegKey key = nullptr;
    EXPECT_EQ(CreateKey(key_, subkey, kKeyAllAccess, &key, disposition), kErrorSuccess);
    return key;
  }

  std::u16string path_;
  RegKey key_ = nullptr;
};

TEST_F(RegistryContractTest, NamesCompareWithoutCaseAndKeepTheCaseTheyWereCreatedWith) {
  CloseKey(Create(u"Příliš Žluťoučký"));
  CloseKey(Create(u"beta"));
  CloseKey(Create(u"Alfa"));
  RegKey key = Open(u"PŘÍLIŠ žLUŤOUČKÝ", kKeyAllAccess);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(SetText(key, u"Kůň", u"první"), kErrorSuccess);
  EXPECT_EQ(SetText(key, u"KŮŇ", u"druhý"), kErrorSuccess);
  EXPECT_EQ(GetText(key, u"kůň"), u"druhý");
  EXPECT_EQ(ValueNames(key), std::set<std::u16string>{u"Kůň"});
  EXPECT_EQ(DeleteValue(key, u"kŮň"), kErrorSuccess);
  EXPECT_EQ(ValueNames(key), std::set<std::u16string>{});
  CloseKey(key);
  EXPECT_EQ(SubkeyNames(key_),
            (std::vector<std::u16string>{u"Alfa", u"beta", u"Příliš Žluťoučký"}));
}

TEST_F(RegistryContractTest, TheEmptyNameIsTheDefaultValue) {
  EXPECT_EQ(QueryValue(key_, u"", nullptr, nullptr, nullptr), kErrorFileNotFound);
  EXPECT_EQ(SetText(key_, u"", u"výchozí"), kErrorSuccess);
  EXPECT_EQ(GetText(key_, u""), u"výchozí");
  EXPECT_EQ(ValueNames(key_), std::set<std::u16string>{u""});
  EXPECT_EQ(DeleteValue(key_, u""), kErrorSuccess);
  EXPECT_EQ(DeleteValue(key_, u""), kErrorFileNotFound);
}

TEST_F(RegistryContractTest, CreatingAnExistingKeyOpensIt) {
  uint32_t disposition = 0;
  RegKey key = Create(u"a\\b\\c", &disposition);
  EXPECT_EQ(disposition, kRegCreatedNewKey);
  EXPECT_EQ(SetText(key, u"v", u"kept"), kErrorSuccess);
  CloseKey(key);
  key = Create(u"A\\B\\C", &disposition);
  EXPECT_EQ(disposition, kRegOpenedExistingKey);
  EXPECT_EQ(GetText(key, u"v"), u"kept");
  CloseKey(key);
  RegKey missing = nullptr;
  EXPECT_EQ(OpenKey(key_, u"a\\x", kKeyRead, &missing), kErrorFileNotFound);
  EXPECT_EQ(missing, nullptr);
}

TEST_F(RegistryContractTest, DeletingAKeyThatHasSubkeysFails) {
  CloseKey(Create(u"parent\\child"));
  EXPECT_EQ(DeleteKey(key_, u"parent"), kErrorAccessDenied);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{u"parent"});
  EXPECT_EQ(DeleteKey(key_, u"parent\\child"), kErrorSuccess);
  EXPECT_EQ(DeleteKey(key_, u"PARENT"), kErrorSuccess);
  EXPECT_EQ(DeleteKey(key_, u"parent"), kErrorFileNotFound);
}

TEST_F(RegistryContractTest, DeletesAWholeTree) {
  RegKey key = Create(u"tree\\a\\b");
  EXPECT_EQ(SetText(key, u"v", u"x"), kErrorSuccess);
  CloseKey(key);
  CloseKey(Create(u"tree\\c"));
  CloseKey(Create(u"other"));
  EXPECT_EQ(DeleteKeyTree(key_, u"Tree"), kErrorSuccess);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{u"other"});
  EXPECT_EQ(DeleteKeyTree(key_, u"tree"), kErrorFileNotFound);
}

// A path built from an empty setting begins with a backslash: refused, never
// read or written at the root. Doubled and trailing separators are accepted.
TEST_F(RegistryContractTest, APathBeginningWithABackslashIsRefused) {
  RegKey key = nullptr;
  EXPECT_EQ(CreateKey(key_, u"\\lead", kKeyAllAccess, &key, nullptr), kErrorBadPathname);
  EXPECT_EQ(CreateKey(key_, u"\\", kKeyAllAccess, &key, nullptr), kErrorBadPathname);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{});

  CloseKey(Create(u"a\\\\b\\"));
  CloseKey(Open(u"a\\b", kKeyRead));
  CloseKey(Open(u"a\\\\b\\", kKeyRead));
  EXPECT_EQ(OpenKey(key_, u"\\a", kKeyRead, &key), kErrorBadPathname);
  EXPECT_EQ(DeleteKeyTree(key_, u"\\a"), kErrorBadPathname);
  EXPECT_EQ(DeleteKey(key_, u"\\a\\b"), kErrorBadPathname);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{u"a"});
}

TEST_F(RegistryContractTest, AKeyRefusesWhatItWasNotOpenedFor) {
  EXPECT_EQ(SetText(key_, u"v", u"x"), kErrorSuccess);
  CloseKey(Create(u"sub"));
  char16_t name[64];
  uint32_t chars = 64;

  RegKey read = Open(u"", kKeyRead);
  EXPECT_EQ(SetText(read, u"v", u"y"), kErrorAccessDenied);
  EXPECT_EQ(DeleteValue(read, u"v"), kErrorAccessDenied);
  EXPECT_EQ(GetText(read, u"v"), u"x");
  CloseKey(read);

  RegKey write = Open(u"", kKeyWrite);
  EXPECT_EQ(QueryValue(write, u"v", nullptr, nullptr, nullptr), kErrorAccessDenied);
  EXPECT_EQ(EnumValue(write, 0, name, &chars, nullptr, nullptr, nullptr), kErrorAccessDenied);
  EXPECT_EQ(EnumSubkey(write, 0, name, &chars, nullptr, nullptr), kErrorAccessDenied);
  EXPECT_EQ(SetText(write, u"v", u"y"), kErrorSuccess);
  CloseKey(write);

  RegKey query = Open(u"", kKeyQueryValue);
  EXPECT_EQ(GetText(query, u"v"), u"y");
  EXPECT_EQ(EnumSubkey(query, 0, name, &chars, nullptr, nullptr), kErrorAccessDenied);
  CloseKey(query);

  RegKey enumerate = Open(u"", kKeyQueryValue | kKeyEnumerateSubKeys);
  EXPECT_EQ(SubkeyNames(enumerate), std::vector<std::u16string>{u"sub"});
  CloseKey(enumerate);
}

TEST_F(RegistryContractTest, AShortBufferGivesMoreDataAndTheNeededSize) {
  const std::vector<uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(SetBytes(key_, u"ten", data), kErrorSuccess);
  uint8_t buffer[16] = {};
  uint32_t type = 0;
  uint32_t size = 4;
  EXPECT_EQ(QueryValue(key_, u"ten", &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 10u);
  size = 0;
  EXPECT_EQ(QueryValue(key_, u"ten", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(type, kRegBinary);
  size = 10;
  EXPECT_EQ(QueryValue(key_, u"ten", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + size), data);
  size = 7;
  EXPECT_EQ(QueryValue(key_, u"missing", &type, buffer, &size), kErrorFileNotFound);
  EXPECT_EQ(size, 7u);

  char16_t name[8];
  uint32_t chars = 8;
  size = 3;
  EXPECT_EQ(EnumValue(key_, 0, name, &chars, &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 10u);
  chars = 3;  // "ten" needs a fourth place for its zero
  size = sizeof buffer;
  EXPECT_EQ(EnumValue(key_, 0, name, &chars, &type, buffer, &size), kErrorMoreData);
  chars = 4;
  size = sizeof buffer;
  EXPECT_EQ(EnumValue(key_, 0, name, &chars, &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(std::u16string(name, chars), u"ten");
  EXPECT_EQ(size, 10u);

  CloseKey(Create(u"four"));
  chars = 4;
  EXPECT_EQ(EnumSubkey(key_, 0, name, &chars, nullptr, nullptr), kErrorMoreData);
  chars = 5;
  EXPECT_EQ(EnumSubkey(key_, 0, name, &chars, nullptr, nullptr), kErrorSuccess);
  EXPECT_EQ(std::u16string(name, chars), u"four");
}

TEST_F(RegistryContractTest, AStringStoredWithoutItsZeroGetsOneWhenThereIsRoom) {
  // Windows stores one more character when the one after the given size is a
  // zero (taking it for a forgotten terminator), so a non-zero one follows.
  const std::vector<uint8_t> ab = {'a', 0, 'b', 0, 'x', 0};
  ASSERT_EQ(SetValue(key_, u"ab", kRegSz, ab.data(), 4), kErrorSuccess);
  uint8_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  uint32_t size = sizeof buffer;
  EXPECT_EQ(QueryValue(key_, u"ab", nullptr, buffer, &size), kErrorSuccess);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8),
            (std::vector<uint8_t>{'a', 0, 'b', 0, 0, 0, 0xEE, 0xEE}));
  // Without room to spare the buffer holds just the stored bytes.
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  size = 5;
  EXPECT_EQ(QueryValue(key_, u"ab", nullptr, buffer, &size), kErrorSuccess);
  EXPECT_EQ(buffer[4], 0xEE);
}

TEST_F(RegistryContractTest, EnumerationEndsWithNoMoreItems) {
  for (std::u16string_view name : {u"z", u"A", u"m"})
    ASSERT_EQ(SetText(key_, name, name), kErrorSuccess);
  CloseKey(Create(u"k1"));
  CloseKey(Create(u"k2"));
  EXPECT_EQ(ValueNames(key_), (std::set<std::u16string>{u"z", u"A", u"m"}));
  char16_t name[16];
  uint32_t chars = 16;
  EXPECT_EQ(EnumValue(key_, 3, name, &chars, nullptr, nullptr, nullptr), kErrorNoMoreItems);
  EXPECT_EQ(EnumSubkey(key_, 1, name, &chars, nullptr, nullptr), kErrorSuccess);
  chars = 16;
  EXPECT_EQ(EnumSubkey(key_, 2, name, &chars, nullptr, nullptr), kErrorNoMoreItems);
}

TEST_F(RegistryContractTest, KeyInformationGivesCountsAndLongestLengths) {
  RegKeyInfo info;
  info.values = 99;
  ASSERT_EQ(QueryKeyInfo(key_, &info), kErrorSuccess);
  EXPECT_EQ(info.subkeys, 0u);
  EXPECT_EQ(info.values, 0u);
  EXPECT_EQ(info.maxSubkeyLength, 0u);
  EXPECT_EQ(info.maxValueNameLength, 0u);
  EXPECT_EQ(info.maxValueDataSize, 0u);

  CloseKey(Create(u"a"));
  CloseKey(Create(u"Dlouhý název"));
  ASSERT_EQ(SetBytes(key_, u"x", std::vector<uint8_t>(66, 7)), kErrorSuccess);
  ASSERT_EQ(SetText(key_, u"Delší jméno hodnoty", u"krátká"), kErrorSuccess);
  ASSERT_EQ(SetText(key_, u"", u""), kErrorSuccess);
  ASSERT_EQ(QueryKeyInfo(key_, &info), kErrorSuccess);
  EXPECT_EQ(info.subkeys, 2u);
  EXPECT_EQ(info.maxSubkeyLength, 12u);
  EXPECT_EQ(info.maxClassLength, 0u);
  EXPECT_EQ(info.values, 3u);
  EXPECT_EQ(info.maxValueNameLength, 19u);
  EXPECT_EQ(info.maxValueDataSize, 66u);
}

TEST_F(RegistryContractTest, KeepsCzechNamesAndTextExactly) {
  const std::u16string keyName = u"Příliš žluťoučký kůň";
  const std::u16string valueName = u"úpěl ďábelské ódy";
  const std::u16string text = u"Ďábelské Ódy — ŘÍŠE ŮŽASNÁ";
  RegKey key = Create(keyName);
  ASSERT_EQ(SetText(key, valueName, text), kErrorSuccess);
  CloseKey(key);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{keyName});
  key = Open(u"PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ", kKeyRead);
  EXPECT_EQ(ValueNames(key), std::set<std::u16string>{valueName});
  EXPECT_EQ(GetText(key, u"ÚPĚL ĎÁBELSKÉ ÓDY"), text);
  uint32_t size = 0;
  EXPECT_EQ(QueryValue(key, valueName, nullptr, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, (text.size() + 1) * 2);
  CloseKey(key);
}

TEST_F(RegistryContractTest, AHandleToADeletedKeyFails) {
  RegKey key = Create(u"doomed\\inner");
  ASSERT_EQ(SetText(key, u"v", u"x"), kErrorSuccess);
  ASSERT_EQ(DeleteKeyTree(key_, u"doomed"), kErrorSuccess);
  uint32_t size = 0;
  EXPECT_EQ(QueryValue(key, u"v", nullptr, nullptr, &size), kErrorKeyDeleted);
  EXPECT_EQ(SetText(key, u"v", u"y"), kErrorKeyDeleted);
  CloseKey(Create(u"doomed\\inner"));
  EXPECT_EQ(SetText(key, u"v", u"y"), kErrorKeyDeleted);
  EXPECT_EQ(CloseKey(key), kErrorSuccess);
}

TEST_F(RegistryContractTest, ANullHandleIsInvalid) {
  RegKey key = nullptr;
  uint32_t size = 0;
  RegKeyInfo info;
  EXPECT_EQ(OpenKey(nullptr, u"Software", kKeyRead, &key), kErrorInvalidHandle);
  EXPECT_EQ(QueryValue(nullptr, u"v", nullptr, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(SetText(nullptr, u"v", u"x"), kErrorInvalidHandle);
  EXPECT_EQ(QueryKeyInfo(nullptr, &info), kErrorInvalidHandle);
  EXPECT_EQ(CloseKey(nullptr), kErrorInvalidHandle);
}

TEST_F(RegistryContractTest, RegFixturesApplyThroughTheApi) {
  CloseKey(Create(u"Old\\inner"));
  ASSERT_EQ(SetText(key_, u"Gone", u"x"), kErrorSuccess);
  std::u16string error;
  ASSERT_TRUE(test::ApplyRegFile(test::TestDataPath(u"registry\\apply.reg"), &error))
      << Utf16ToUtf8(error);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{u"Profiles"});
  EXPECT_EQ(ValueNames(key_), std::set<std::u16string>{});
  RegKey profile = Open(u"profiles\\velkor rur15", kKeyRead);
  EXPECT_EQ(GetText(profile, u""), u"Výchozí");
  uint8_t count[4] = {};
  uint32_t size = sizeof count;
  EXPECT_EQ(QueryValue(profile, u"Count", nullptr, count, &size), kErrorSuccess);
  EXPECT_EQ(count[0], 3);
  CloseKey(profile);

  // A bad file applies nothing, not even the lines before the fault.
  EXPECT_FALSE(test::ApplyRegFile(test::TestDataPath(u"registry\\bad.reg"), &error));
  EXPECT_NE(error.find(u"line 5: "), std::u16string::npos) << Utf16ToUtf8(error);
  EXPECT_EQ(SubkeyNames(key_), std::vector<std::u16string>{u"Profiles"});
}

}  // namespace
}  // namespace vk::platform
