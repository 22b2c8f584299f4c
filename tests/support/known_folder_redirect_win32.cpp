#include <cstdint>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "tests/support/known_folder_redirect.h"

namespace vk::test {
namespace {

namespace pf = vk::platform;

// Where the shell looks the folders up; the values take effect at once.
struct FolderValue {
  bool machine;
  const char16_t* key;
  const char16_t* name;
  uint32_t type;
};
constexpr FolderValue kValues[] = {
    {true, u"Software\\Microsoft\\Windows\\CurrentVersion", u"CommonFilesDir", pf::kRegSz},
    {true, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
     u"Common AppData", pf::kRegExpandSz},
    {false, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
     u"AppData", pf::kRegExpandSz},
    {false, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
     u"Local AppData", pf::kRegExpandSz},
};
constexpr int kFolderCount = sizeof kValues / sizeof kValues[0];

struct RawValue {
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

pf::RegKey Open(const FolderValue& v) {
  pf::RegKey key = nullptr;
  const long result = pf::CreateKey(v.machine ? pf::LocalMachineRoot() : pf::CurrentUserRoot(),
                                    v.key, pf::kKeyAllAccess, &key, nullptr);
  return result == pf::kErrorSuccess ? key : nullptr;
}

}  // namespace

struct ScopedKnownFolders::Saved {
  std::optional<RawValue> values[kFolderCount];
  bool redirected[kFolderCount] = {};
};

ScopedKnownFolders::ScopedKnownFolders(const std::u16string& commonFiles,
                                       const std::u16string& commonAppData,
                                       const std::u16string& appData,
                                       const std::u16string& localAppData)
    : saved_(std::make_unique<Saved>()) {
  const std::u16string* paths[] = {&commonFiles, &commonAppData, &appData, &localAppData};
  for (int i = 0; i < kFolderCount; ++i) {
    // No local application data folder given: the prefix's own stays.
    if (paths[i]->empty() && i == kFolderCount - 1) continue;
    saved_->redirected[i] = true;
    pf::RegKey key = Open(kValues[i]);
    if (key == nullptr) continue;
    RawValue old;
    uint32_t size = 0;
    if (pf::QueryValue(key, kValues[i].name, &old.type, nullptr, &size) == pf::kErrorSuccess) {
      old.data.resize(size);
      if (pf::QueryValue(key, kValues[i].name, &old.type, old.data.data(), &size) ==
          pf::kErrorSuccess) {
        saved_->values[i] = std::move(old);
      }
    }
    std::vector<uint8_t> data = pf::StringToUtf16Le(*paths[i]);
    data.push_back(0);
    data.push_back(0);
    [[maybe_unused]] const long set = pf::SetValue(key, kValues[i].name, kValues[i].type,
                                                   data.data(), static_cast<uint32_t>(data.size()));
    pf::CloseKey(key);
  }
}

ScopedKnownFolders::~ScopedKnownFolders() {
  for (int i = 0; i < kFolderCount; ++i) {
    if (!saved_->redirected[i]) continue;
    pf::RegKey key = Open(kValues[i]);
    if (key == nullptr) continue;
    if (const auto& old = saved_->values[i]) {
      [[maybe_unused]] const long set =
          pf::SetValue(key, kValues[i].name, old->type, old->data.data(),
                       static_cast<uint32_t>(old->data.size()));
    } else {
      [[maybe_unused]] const long removed = pf::DeleteValue(key, kValues[i].name);
    }
    pf::CloseKey(key);
  }
}

}  // namespace vk::test
