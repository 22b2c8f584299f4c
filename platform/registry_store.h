// An in-memory registry tree with the rules of the Windows registry that
// callers rely on: names compare without regard to letter case (every script)
// but keep the case they were created with, the empty value name is the
// default value, values keep their creation order and subkeys are sorted.
// It is the posix backend's registry and reads and writes .reg files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reg_file.h"

namespace vk::platform {

struct RegistryValue {
  std::u16string name;
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

// One key. Keys are shared so that an open handle outlives the key's removal
// from the tree; a removed key reports deleted().
class RegistryKey : public std::enable_shared_from_this<RegistryKey> {
 public:
  RegistryKey(std::u16string name, RegistryKey* parent);
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  const std::u16string& name() const { return name_; }
  // Null for a root.
  RegistryKey* parent() const { return parent_; }
  // True once the key was removed from the tree, directly or with an ancestor.
  bool deleted() const { return deleted_; }
  // Levels below the root (0 for a root).
  size_t Depth() const;

  // In creation order.
  const std::vector<RegistryValue>& values() const { return values_; }
  // The value of that name, or null.
  const RegistryValue* FindValue(std::u16string_view name) const;
  // Creates or replaces a value; a replaced value keeps its name and place.
  void SetValue(std::u16string_view name, uint32_t type, std::vector<uint8_t> data);
  // False when there is no value of that name.
  bool DeleteValue(std::u16string_view name);

  // Sorted by CompareRegistryNames.
  const std::vector<std::shared_ptr<RegistryKey>>& subkeys() const { return subkeys_; }
  // The key at a relative path ("a\b", empty parts skipped; empty: this key),
  // or null when some part is missing.
  std::shared_ptr<RegistryKey> FindPath(std::u16string_view path);
  // Creates the missing keys of a relative path and returns the last one;
  // `created` tells whether it is new.
  std::shared_ptr<RegistryKey> CreatePath(std::u16string_view path, bool* created);
  // Takes the key and its subtree out of the tree and marks them deleted;
  // does nothing for a root.
  void Remove();

 private:
  // Where a subkey of that name is or would be inserted.
  std::vector<std::shared_ptr<RegistryKey>>::iterator SubkeySlot(std::u16string_view name);
  void MarkDeleted();

  std::u16string name_;
  RegistryKey* parent_;
  bool deleted_ = false;
  std::vector<RegistryValue> values_;
  std::vector<std::shared_ptr<RegistryKey>> subkeys_;
};

class RegistryStore {
 public:
  RegistryStore();

  // The root of that name (any letter case, as in kRegRootNames), or null.
  std::shared_ptr<RegistryKey> Root(std::u16string_view name) const;
  // The key at a full path ("HKEY_CURRENT_USER\Software\X"), or null.
  std::shared_ptr<RegistryKey> Find(std::u16string_view path) const;

  // Applies parsed records in order: [-key] removes a subtree (a missing key is
  // fine), [key] creates the key, values are set or deleted.
  void Apply(const std::vector<RegFileKey>& keys);
  // Reads a .reg file and applies it; on failure the store is unchanged.
  [[nodiscard]] bool Import(std::string_view bytes, RegFileError* error);

  // Every key below the roots, and a root only when it has values, in sorted
  // order with its values in creation order.
  std::vector<RegFileKey> Records() const;
  // Records() as a UTF-16LE .reg file with a byte-order mark.
  std::string Export() const;

  // Removes every key and value (open keys become deleted).
  void Clear();

 private:
  std::vector<std::shared_ptr<RegistryKey>> roots_;
};

}  // namespace vk::platform
