#include "platform/registry_store.h"

#include <algorithm>

#include "platform/text.h"

namespace vk::platform {
namespace {

// Calls `visit` with each non-empty part of a backslash-separated path.
template <typename Visit>
bool ForEachPart(std::u16string_view path, Visit visit) {
  while (!path.empty()) {
    const size_t slash = path.find(u'\\');
    const std::u16string_view part = path.substr(0, slash);
    if (!part.empty() && !visit(part)) return false;
    if (slash == std::u16string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return true;
}

RegFileKey RecordOf(const RegistryKey& key, std::u16string path) {
  RegFileKey record{std::move(path), false, {}};
  for (const RegistryValue& value : key.values()) {
    record.values.push_back({value.name, false, value.type, value.data});
  }
  return record;
}

// The key (whose full path is `path`) and its subtree, depth first in sorted
// order.
void AppendRecords(const RegistryKey& key, const std::u16string& path,
                   std::vector<RegFileKey>* records) {
  records->push_back(RecordOf(key, path));
  for (const auto& subkey : key.subkeys()) {
    AppendRecords(*subkey, path + u"\\" + subkey->name(), records);
  }
}

}  // namespace

RegistryKey::RegistryKey(std::u16string name, RegistryKey* parent)
    : name_(std::move(name)), parent_(parent) {}

size_t RegistryKey::Depth() const {
  size_t depth = 0;
  for (const RegistryKey* k = parent_; k != nullptr; k = k->parent_) ++depth;
  return depth;
}

const RegistryValue* RegistryKey::FindValue(std::u16string_view name) const {
  for (const RegistryValue& value : values_) {
    if (RegistryNamesEqual(value.name, name)) return &value;
  }
  return nullptr;
}

void RegistryKey::SetValue(std::u16string_view name, uint32_t type, std::vector<uint8_t> data) {
  for (RegistryValue& value : values_) {
    if (RegistryNamesEqual(value.name, name)) {
      value.type = type;
      value.data = std::move(data);
      return;
    }
  }
  values_.push_back({std::u16string(name), type, std::move(data)});
}

bool RegistryKey::DeleteValue(std::u16string_view name) {
  const auto it = std::find_if(values_.begin(), values_.end(), [&](const RegistryValue& value) {
    return RegistryNamesEqual(value.name, name);
  });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

std::shared_ptr<RegistryKey> RegistryKey::FindPath(std::u16string_view path) {
  std::shared_ptr<RegistryKey> key = shared_from_this();
  const bool found = ForEachPart(path, [&](std::u16string_view part) {
    const auto it = key->SubkeySlot(part);
    if (it == key->subkeys_.end() || !RegistryNamesEqual((*it)->name_, part)) return false;
    key = *it;
    return true;
  });
  return found ? key : nullptr;
}

std::shared_ptr<RegistryKey> RegistryKey::CreatePath(std::u16string_view path, bool* created) {
  std::shared_ptr<RegistryKey> key = shared_from_this();
  *created = false;
  ForEachPart(path, [&](std::u16string_view part) {
    const auto it = key->SubkeySlot(part);
    if (it != key->subkeys_.end() && RegistryNamesEqual((*it)->name_, part)) {
      key = *it;
    } else {
      auto subkey = std::make_shared<RegistryKey>(std::u16string(part), key.get());
      key->subkeys_.insert(it, subkey);
      key = std::move(subkey);
      *created = true;
    }
    return true;
  });
  return key;
}

std::vector<std::shared_ptr<RegistryKey>>::iterator RegistryKey::SubkeySlot(
    std::u16string_view name) {
  return std::lower_bound(subkeys_.begin(), subkeys_.end(), name,
                          [](const auto& subkey, std::u16string_view wanted) {
                            return CompareRegistryNames(subkey->name_, wanted) < 0;
                          });
}

void RegistryKey::Remove() {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->subkeys_;
  const auto it = std::find_if(siblings.begin(), siblings.end(),
                               [this](const auto& subkey) { return subkey.get() == this; });
  // Keep this key alive until it is marked, whoever else holds it.
  const std::shared_ptr<RegistryKey> self = shared_from_this();
  if (it != siblings.end()) siblings.erase(it);
  MarkDeleted();
}

void RegistryKey::MarkDeleted() {
  deleted_ = true;
  parent_ = nullptr;
  for (const auto& subkey : subkeys_) subkey->MarkDeleted();
}

RegistryStore::RegistryStore() {
  for (std::u16string_view name : kRegRootNames) {
    roots_.push_back(std::make_shared<RegistryKey>(std::u16string(name), nullptr));
  }
}

std::shared_ptr<RegistryKey> RegistryStore::Root(std::u16string_view name) const {
  for (const auto& root : roots_) {
    if (CompareAsciiNoCase(root->name(), name) == 0) return root;
  }
  return nullptr;
}

std::shared_ptr<RegistryKey> RegistryStore::Find(std::u16string_view path) const {
  const size_t slash = path.find(u'\\');
  const std::shared_ptr<RegistryKey> root = Root(path.substr(0, slash));
  if (root == nullptr) return nullptr;
  return slash == std::u16string_view::npos ? root : root->FindPath(path.substr(slash + 1));
}

void RegistryStore::Apply(const std::vector<RegFileKey>& keys) {
  for (const RegFileKey& record : keys) {
    if (record.remove) {
      if (const auto key = Find(record.path)) key->Remove();
      continue;
    }
    const size_t slash = record.path.find(u'\\');
    std::shared_ptr<RegistryKey> key = Root(std::u16string_view(record.path).substr(0, slash));
    if (key == nullptr) continue;
    if (slash != std::u16string::npos) {
      bool created = false;
      key = key->CreatePath(std::u16string_view(record.path).substr(slash + 1), &created);
    }
    for (const RegFileValue& value : record.values) {
      if (value.remove) {
        key->DeleteValue(value.name);
      } else {
        key->SetValue(value.name, value.type, value.data);
      }
    }
  }
}

bool RegistryStore::Import(std::string_view bytes, RegFileError* error) {
  std::vector<RegFileKey> keys;
  if (!ReadRegFile(bytes, &keys, error)) return false;
  Apply(keys);
  return true;
}

std::vector<RegFileKey> RegistryStore::Records() const {
  std::vector<RegFileKey> records;
  for (const auto& root : roots_) {
    if (!root->values().empty()) records.push_back(RecordOf(*root, root->name()));
    for (const auto& subkey : root->subkeys()) {
      AppendRecords(*subkey, root->name() + u"\\" + subkey->name(), &records);
    }
  }
  return records;
}

std::string RegistryStore::Export() const {
  return WriteRegFile(Records());
}

void RegistryStore::Clear() {
  for (const auto& root : roots_) {
    while (!root->subkeys().empty()) root->subkeys().front()->Remove();
    while (!root->values().empty()) root->DeleteValue(root->values().front().name);
  }
}

}  // namespace vk::platform
