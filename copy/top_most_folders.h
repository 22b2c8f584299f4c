// The copied-folder list: the top-most folders that received files, in the
// order they were recorded, with an index beside it so that recording stays
// fast for tens of thousands of folders.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vk::copy {

class TopMostFolders {
 public:
  // Records `folder`: walking the list from its start, the first entry that
  // equals it ignoring case, or occurs in it (case-sensitive), leaves the list
  // as it is; the first that holds it is replaced by it; with neither, it is
  // appended.
  void Add(std::u16string_view folder);
  // Drops every entry for which `drop` is true, asking in list order and
  // keeping the order of the rest.
  void RemoveIf(const std::function<bool(const std::u16string&)>& drop);
  void Clear();

  const std::vector<std::u16string>& list() const { return list_; }

 private:
  struct NameLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const;
  };
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view text) const {
      return std::hash<std::u16string_view>()(text);
    }
  };
  using Positions = std::set<size_t>;

  // The position of the first entry that decides for `folder`, or the list's size.
  [[nodiscard]] size_t FirstDeciding(std::u16string_view folder) const;
  // The same by the walk itself, for texts where a folder may occur inside
  // another one other than at its start.
  [[nodiscard]] size_t FirstDecidingByWalk(std::u16string_view folder) const;
  // Whether `text` holds the common start of all folders other than at its start.
  [[nodiscard]] bool HoldsStartInside(std::u16string_view text) const;
  void Index(size_t position);
  void Unindex(size_t position);
  // Narrows the common start to what `folder` shares with it.
  void NarrowStart(std::u16string_view folder);

  std::vector<std::u16string> list_;
  // By name ignoring case; by exact text, hashed and ordered; entry lengths.
  std::map<std::u16string, Positions, NameLess> byName_;
  std::unordered_map<std::u16string, Positions, TextHash, std::equal_to<>> byText_;
  std::map<std::u16string, Positions, std::less<>> ordered_;
  std::map<size_t, size_t> lengths_;
  // The start that every folder recorded so far shares, and how many entries
  // hold it elsewhere too (where occurring in a text and starting it differ).
  std::u16string start_;
  bool started_ = false;
  size_t startInside_ = 0;
  // A folder whose recording changed nothing, until the list changes.
  std::optional<std::u16string> unchanged_;
};

}  // namespace vk::copy
