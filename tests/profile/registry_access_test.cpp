#include "profile/registry_access.h"

#include <gtest/gtest.h>

#include "platform/known_folders.h"
#include "tests/profile/profile_test_support.h"
#include "tests/support/scoped_env.h"

namespace vk::profile {
namespace {

using test::kTestKey;
namespace pf = vk::platform;

class RegistryAccessTest : public test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_EQ(
        pf::CreateKey(pf::CurrentUserRoot(), kTestKey, pf::kKeyAllAccess, key_.Receive(), nullptr),
        pf::kErrorSuccess);
  }

  pf::ScopedKey key_;
};

TEST_F(RegistryAccessTest, StringsAreWrittenWithTheirTerminatingZero) {
  EXPECT_EQ(pf::StringValueSize(u""), 2u);
  EXPECT_EQ(pf::StringValueSize(u"Jiří"), 10u);
  ASSERT_EQ(pf::SetStringValue(key_.get(), u"Name", pf::kRegSz, u"Jiří"), pf::kErrorSuccess);
  ASSERT_EQ(pf::SetStringValue(key_.get(), u"", pf::kRegExpandSz, u""), pf::kErrorSuccess);

  RegistryValue value;
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"Name", 0, false, &value), pf::kErrorSuccess);
  EXPECT_EQ(value.type, pf::kRegSz);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{'J', 0, 'i', 0, 0x59, 0x01, 0xED, 0, 0, 0}));
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"", 0, false, &value), pf::kErrorSuccess);
  EXPECT_EQ(value.type, pf::kRegExpandSz);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{0, 0}));
}

TEST_F(RegistryAccessTest, ReadsValuesOfAnySizeWhateverTheFirstBuffer) {
  const std::u16string text(300, u'x');
  ASSERT_EQ(pf::SetStringValue(key_.get(), u"Long", pf::kRegSz, text), pf::kErrorSuccess);
  ASSERT_EQ(SetDwordValue(key_.get(), u"Number", 0x12345678), pf::kErrorSuccess);
  ASSERT_EQ(pf::SetValue(key_.get(), u"Nothing", pf::kRegBinary, nullptr, 0), pf::kErrorSuccess);

  // Too small a buffer is read again at the reported size; no buffer at all
  // asks for the size first.
  for (uint32_t bufferSize : {0u, 4u, 260u, 602u, 1000u}) {
    RegistryValue value;
    ASSERT_EQ(QueryRegistryValue(key_.get(), u"Long", bufferSize, false, &value), pf::kErrorSuccess)
        << bufferSize;
    EXPECT_EQ(value.data.size(), 602u) << bufferSize;
    EXPECT_EQ(RegistryValueText(value.data), text) << bufferSize;
  }
  RegistryValue number;
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"Number", 2, false, &number), pf::kErrorSuccess);
  EXPECT_EQ(number.type, pf::kRegDword);
  EXPECT_EQ(number.data, (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
  RegistryValue nothing;
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"Nothing", 0, false, &nothing), pf::kErrorSuccess);
  EXPECT_EQ(nothing.type, pf::kRegBinary);
  EXPECT_TRUE(nothing.data.empty());
}

TEST_F(RegistryAccessTest, MissingValueLeavesTheResultUntouched) {
  RegistryValue value;
  value.type = pf::kRegBinary;
  value.data = {1, 2, 3};
  EXPECT_EQ(QueryRegistryValue(key_.get(), u"Missing", 0, false, &value), pf::kErrorFileNotFound);
  EXPECT_EQ(QueryRegistryValue(key_.get(), u"", 16, true, &value), pf::kErrorFileNotFound);
  EXPECT_EQ(value.type, pf::kRegBinary);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(RegistryAccessTest, ExpandsOnlyExpandableStringsAndOnlyWhenAsked) {
  vk::test::ScopedEnv env(u"VK_TEST_ROAMING", u"C:\\Users\\Jiří\\AppData\\Roaming");
  const std::u16string raw = u"%VK_TEST_ROAMING%\\Autodesk";
  const std::u16string expanded = u"C:\\Users\\Jiří\\AppData\\Roaming\\Autodesk";
  ASSERT_EQ(pf::ExpandEnvironmentVariables(raw), expanded);
  ASSERT_EQ(pf::SetStringValue(key_.get(), u"Expandable", pf::kRegExpandSz, raw),
            pf::kErrorSuccess);
  ASSERT_EQ(pf::SetStringValue(key_.get(), u"Plain", pf::kRegSz, raw), pf::kErrorSuccess);

  RegistryValue value;
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"Expandable", 8, true, &value), pf::kErrorSuccess);
  EXPECT_EQ(value.type, pf::kRegExpandSz);
  EXPECT_EQ(RegistryValueText(value.data), expanded);
  EXPECT_EQ(value.data.size(), pf::StringValueSize(expanded));
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"Expandable", 0, false, &value), pf::kErrorSuccess);
  EXPECT_EQ(RegistryValueText(value.data), raw);
  ASSERT_EQ(QueryRegistryValue(key_.get(), u"Plain", 0, true, &value), pf::kErrorSuccess);
  EXPECT_EQ(RegistryValueText(value.data), raw);
}

}  // namespace
}  // namespace vk::profile
