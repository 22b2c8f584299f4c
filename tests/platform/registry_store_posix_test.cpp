// The posix registry: the in-memory store and its .reg file.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/registry_posix.h"
#include "platform/registry_store.h"
#include "platform/text.h"
#include "tests/support/registry_bytes.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace vk::platform {
namespace {

using test::SetText;
using test::StoredText;

std::string ReadNative(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(test::ReadWholeFile(Utf8ToUtf16(path), &bytes)) << path;
  return bytes;
}

void WriteNative(const std::string& path, std::string_view bytes) {
  ASSERT_TRUE(test::WriteWholeFile(Utf8ToUtf16(path), bytes)) << path;
}

std::vector<RegFileKey> ParseFile(const std::string& path) {
  std::vector<RegFileKey> keys;
  RegFileError error;
  EXPECT_TRUE(ReadRegFile(ReadNative(path), &keys, &error)) << Utf16ToUtf8(error.Describe());
  return keys;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  return names;
}

TEST(RegistryStoreTest, KeepsValuesInCreationOrderAndKeysSorted) {
  RegistryStore store;
  bool created = false;
  const auto key = store.Root(u"hkey_current_user")->CreatePath(u"Software\\\\Vk\\", &created);
  EXPECT_TRUE(created);
  for (std::u16string_view name : {u"z", u"A", u"m"}) key->SetValue(name, kRegSz, StoredText(name));
  key->SetValue(u"Z", kRegDword, {1, 0, 0, 0});
  store.Root(u"HKEY_CURRENT_USER")->CreatePath(u"Software\\alfa", &created);
  store.Root(u"HKEY_LOCAL_MACHINE")->SetValue(u"", kRegSz, StoredText(u"root"));

  const std::vector<RegFileKey> expected = {
      {u"HKEY_CURRENT_USER\\Software", false, {}},
      {u"HKEY_CURRENT_USER\\Software\\alfa", false, {}},
      {u"HKEY_CURRENT_USER\\Software\\Vk",
       false,
       {{u"z", false, kRegDword, {1, 0, 0, 0}},
        {u"A", false, kRegSz, StoredText(u"A")},
        {u"m", false, kRegSz, StoredText(u"m")}}},
      {u"HKEY_LOCAL_MACHINE", false, {{u"", false, kRegSz, StoredText(u"root")}}},
  };
  EXPECT_EQ(store.Records(), expected);
  RegistryStore copy;
  RegFileError error;
  ASSERT_TRUE(copy.Import(store.Export(), &error));
  EXPECT_EQ(copy.Records(), expected);
  EXPECT_EQ(copy.Find(u"HKEY_CURRENT_USER\\SOFTWARE\\vk")->name(), u"Vk");
}

TEST(RegistryStoreTest, ImportAppliesDeletionsAndLeavesTheStoreAloneOnABadFile) {
  RegistryStore store;
  RegFileError error;
  ASSERT_TRUE(store.Import(
      WriteRegFile({{u"HKEY_CURRENT_USER\\A\\B", false, {{u"v", false, kRegSz, StoredText(u"x")}}},
                    {u"HKEY_CURRENT_USER\\C", false, {{u"w", false, kRegSz, StoredText(u"y")}}}}),
      &error));
  const auto b = store.Find(u"HKEY_CURRENT_USER\\A\\B");
  ASSERT_TRUE(store.Import(WriteRegFile({{u"HKEY_CURRENT_USER\\A", true, {}},
                                         {u"HKEY_CURRENT_USER\\Missing", true, {}},
                                         {u"HKEY_CURRENT_USER\\C", false, {{u"W", true, 0, {}}}}}),
                           &error));
  EXPECT_TRUE(b->deleted());
  EXPECT_EQ(store.Find(u"HKEY_CURRENT_USER\\A"), nullptr);
  EXPECT_TRUE(store.Find(u"HKEY_CURRENT_USER\\C")->values().empty());

  const std::vector<RegFileKey> before = store.Records();
  EXPECT_FALSE(store.Import(
      "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\New]\r\n\"v\"=bad\r\n", &error));
  EXPECT_EQ(error.line, 3u);
  EXPECT_EQ(store.Records(), before);
}

// Each test points VKSTART_REGISTRY at a file of its own, and the store back
// at memory afterwards.
class RegistryFileTest : public testing::Test {
 protected:
  void SetUp() override {
    file_ = Utf16ToUtf8(folder_.path()) + "/registry.reg";
    env_.emplace(u"VKSTART_REGISTRY", Utf8ToUtf16(file_));
  }

  void TearDown() override {
    env_.reset();
    ReloadRegistry();
  }

  test::TempFolder folder_;
  std::string file_;
  std::optional<test::ScopedEnv> env_;
};

TEST_F(RegistryFileTest, LoadsTheFileOnFirstUseAndWritesEveryChangeBack) {
  WriteNative(file_, WriteRegFile({{u"HKEY_CURRENT_USER\\Software\\Vk",
                                    false,
                                    {{u"Jméno", false, kRegSz, StoredText(u"Příliš")}}}}));
  ReloadRegistry();
  RegKey key = nullptr;
  ASSERT_EQ(OpenKey(CurrentUserRoot(), u"software\\VK", kKeyAllAccess, &key), kErrorSuccess);
  uint32_t size = 0;
  EXPECT_EQ(QueryValue(key, u"jméno", nullptr, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 14u);

  ASSERT_EQ(SetText(key, u"Nová", u"hodnota"), kErrorSuccess);
  const std::string bytes = ReadNative(file_);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(ParseFile(file_),
            (std::vector<RegFileKey>{{u"HKEY_CURRENT_USER\\Software", false, {}},
                                     {u"HKEY_CURRENT_USER\\Software\\Vk",
                                      false,
                                      {{u"Jméno", false, kRegSz, StoredText(u"Příliš")},
                                       {u"Nová", false, kRegSz, StoredText(u"hodnota")}}}}));

  RegKey sub = nullptr;
  ASSERT_EQ(CreateKey(key, u"Empty", kKeyAllAccess, &sub, nullptr), kErrorSuccess);
  EXPECT_EQ(ParseFile(file_).back().path, u"HKEY_CURRENT_USER\\Software\\Vk\\Empty");
  EXPECT_EQ(DeleteValue(key, u"NOVÁ"), kErrorSuccess);
  EXPECT_EQ(DeleteKey(key, u"Empty"), kErrorSuccess);
  EXPECT_EQ(DeleteKeyTree(CurrentUserRoot(), u"Software"), kErrorSuccess);
  EXPECT_TRUE(ParseFile(file_).empty());
  CloseKey(sub);
  CloseKey(key);

  // A fresh load sees what was written.
  ASSERT_EQ(CreateKey(CurrentUserRoot(), u"Software\\Again", kKeyAllAccess, &key, nullptr),
            kErrorSuccess);
  CloseKey(key);
  ReloadRegistry();
  EXPECT_EQ(OpenKey(CurrentUserRoot(), u"Software\\Again", kKeyRead, &key), kErrorSuccess);
  CloseKey(key);
}

TEST_F(RegistryFileTest, AMissingFileStartsEmptyAndIsCreatedByTheFirstChange) {
  ReloadRegistry();
  RegKey key = nullptr;
  EXPECT_EQ(OpenKey(CurrentUserRoot(), u"Software", kKeyRead, &key), kErrorFileNotFound);
  EXPECT_FALSE(std::filesystem::exists(file_));
  ASSERT_EQ(CreateKey(CurrentUserRoot(), u"Software\\Vk", kKeyAllAccess, &key, nullptr),
            kErrorSuccess);
  CloseKey(key);
  EXPECT_EQ(ParseFile(file_).size(), 2u);
}

TEST_F(RegistryFileTest, ReplacesTheFileInOneStep) {
  ReloadRegistry();
  RegKey key = nullptr;
  ASSERT_EQ(CreateKey(CurrentUserRoot(), u"Software\\Vk", kKeyAllAccess, &key, nullptr),
            kErrorSuccess);
  const std::string before = ReadNative(file_);
  const int old = open(file_.c_str(), O_RDONLY);
  ASSERT_GE(old, 0);

  ASSERT_EQ(SetText(key, u"v", std::u16string(5000, u'x')), kErrorSuccess);
  CloseKey(key);
  // The old file was replaced, never rewritten in place: whoever still reads
  // it sees it whole, and no scratch file is left behind.
  std::string seen(before.size() + 1, '\0');
  const ssize_t got = pread(old, seen.data(), seen.size(), 0);
  close(old);
  seen.resize(got > 0 ? static_cast<size_t>(got) : 0);
  EXPECT_EQ(seen, before);
  EXPECT_GT(ReadNative(file_).size(), 10000u);
  EXPECT_EQ(FolderEntries(Utf16ToUtf8(folder_.path())), std::vector<std::string>{"registry.reg"});
}

TEST_F(RegistryFileTest, AFileThatCannotBeReadIsNeverOverwritten) {
  const std::string bad =
      "Windows Registry Editor Version "
      "5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vk]\r\n\"v\"=nonsense\r\n";
  WriteNative(file_, bad);
  testing::internal::CaptureStderr();
  ReloadRegistry();
  RegKey key = nullptr;
  EXPECT_EQ(OpenKey(CurrentUserRoot(), u"Software\\Vk", kKeyRead, &key), kErrorFileNotFound);
  EXPECT_EQ(CreateKey(CurrentUserRoot(), u"Software\\Vk", kKeyAllAccess, &key, nullptr),
            kErrorBadDb);
  EXPECT_EQ(SetText(CurrentUserRoot(), u"v", u"x"), kErrorBadDb);
  EXPECT_EQ(SetText(LocalMachineRoot(), u"v", u"x"), kErrorBadDb);
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find(file_), std::string::npos) << message;
  EXPECT_NE(message.find("line 4: "), std::string::npos) << message;
  EXPECT_EQ(ReadNative(file_), bad);
}

TEST_F(RegistryFileTest, AnUnsetVariableKeepsTheRegistryInMemory) {
  env_.emplace(u"VKSTART_REGISTRY", std::nullopt);
  ReloadRegistry();
  RegKey key = nullptr;
  ASSERT_EQ(CreateKey(CurrentUserRoot(), u"Software\\Vk", kKeyAllAccess, &key, nullptr),
            kErrorSuccess);
  EXPECT_EQ(SetText(key, u"v", u"x"), kErrorSuccess);
  CloseKey(key);
  EXPECT_TRUE(FolderEntries(Utf16ToUtf8(folder_.path())).empty());
}

TEST(RegistryPosixTest, RefusesWhatTheStoreCannotHoldOrFind) {
  RegKey key = nullptr;
  EXPECT_EQ(
      CreateKey(CurrentUserRoot(), u"Software\\VkTest\\line\nbreak", kKeyAllAccess, &key, nullptr),
      kErrorInvalidParameter);
  std::u16string deep = u"Software\\VkTest";
  while (deep.size() < 2 * kMaxRegKeyDepth + 20) deep += u"\\k";
  EXPECT_EQ(CreateKey(CurrentUserRoot(), deep, kKeyAllAccess, &key, nullptr),
            kErrorInvalidParameter);
  EXPECT_EQ(key, nullptr);

  // Key information needs query rights, as Windows documents it.
  ASSERT_EQ(CreateKey(CurrentUserRoot(), u"Software\\VkTest\\Posix", kKeyWrite, &key, nullptr),
            kErrorSuccess);
  RegKeyInfo info;
  EXPECT_EQ(QueryKeyInfo(key, &info), kErrorAccessDenied);
  EXPECT_EQ(CloseKey(key), kErrorSuccess);
  EXPECT_EQ(CloseKey(key), kErrorInvalidHandle);
  EXPECT_EQ(DeleteKeyTree(CurrentUserRoot(), u"Software\\VkTest"), kErrorSuccess);
}

}  // namespace
}  // namespace vk::platform
