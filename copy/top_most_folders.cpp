#include "copy/top_most_folders.h"

#include <algorithm>

#include "platform/text.h"

namespace vk::copy {

bool TopMostFolders::NameLess::operator()(std::u16string_view a, std::u16string_view b) const {
  // Names that differ only in letter case are one name, by the registry's rule.
  return platform::CompareRegistryNames(a, b) < 0;
}

void TopMostFolders::Add(std::u16string_view folder) {
  // Every file of a folder records it again: the common case, answered at once.
  if (unchanged_ == folder) return;
  NarrowStart(folder);
  const size_t at = FirstDeciding(folder);
  if (at == list_.size()) {
    list_.emplace_back(folder);
    Index(at);
    unchanged_.reset();
    return;
  }
  const std::u16string& entry = list_[at];
  if (platform::RegistryNamesEqual(folder, entry) ||
      folder.find(entry) != std::u16string_view::npos) {
    unchanged_ = folder;
    return;
  }
  Unindex(at);
  list_[at] = folder;
  Index(at);
  unchanged_.reset();
}

void TopMostFolders::RemoveIf(const std::function<bool(const std::u16string&)>& drop) {
  std::vector<std::u16string> kept;
  for (std::u16string& entry : list_) {
    if (!drop(entry)) kept.push_back(std::move(entry));
  }
  // The common start stays one: fewer folders share at least as much.
  const std::u16string start = start_;
  const bool started = started_;
  Clear();
  start_ = start;
  started_ = started;
  list_ = std::move(kept);
  for (size_t i = 0; i < list_.size(); ++i) Index(i);
}

void TopMostFolders::Clear() {
  list_.clear();
  byName_.clear();
  byText_.clear();
  ordered_.clear();
  lengths_.clear();
  start_.clear();
  started_ = false;
  startInside_ = 0;
  unchanged_.reset();
}

size_t TopMostFolders::FirstDeciding(std::u16string_view folder) const {
  // All texts begin with start_: unless one also holds it further on, a text
  // occurs in another only at its start, and the index answers.
  if (start_.empty() || startInside_ > 0 || HoldsStartInside(folder)) {
    return FirstDecidingByWalk(folder);
  }
  size_t first = list_.size();
  const auto earliest = [&first](const Positions& positions) {
    first = std::min(first, *positions.begin());
  };
  if (const auto same = byName_.find(folder); same != byName_.end()) earliest(same->second);
  // Entries that start the folder: one look-up per length recorded.
  for (const auto& [length, count] : lengths_) {
    if (length > folder.size()) break;
    if (const auto starting = byText_.find(folder.substr(0, length)); starting != byText_.end()) {
      earliest(starting->second);
    }
  }
  // Entries that the folder starts sort right after it.
  for (auto held = ordered_.lower_bound(folder);
       held != ordered_.end() && std::u16string_view(held->first).starts_with(folder); ++held) {
    earliest(held->second);
  }
  return first;
}

size_t TopMostFolders::FirstDecidingByWalk(std::u16string_view folder) const {
  for (size_t i = 0; i < list_.size(); ++i) {
    const std::u16string& entry = list_[i];
    if (platform::RegistryNamesEqual(folder, entry) ||
        folder.find(entry) != std::u16string_view::npos ||
        entry.find(folder) != std::u16string::npos) {
      return i;
    }
  }
  return list_.size();
}

bool TopMostFolders::HoldsStartInside(std::u16string_view text) const {
  return !text.empty() && text.find(start_, 1) != std::u16string_view::npos;
}

void TopMostFolders::Index(size_t position) {
  const std::u16string& entry = list_[position];
  byName_[entry].insert(position);
  byText_[entry].insert(position);
  ordered_[entry].insert(position);
  ++lengths_[entry.size()];
  if (HoldsStartInside(entry)) ++startInside_;
}

void TopMostFolders::Unindex(size_t position) {
  const std::u16string& entry = list_[position];
  const auto forget = [position](auto& index, const auto& key) {
    const auto found = index.find(key);
    found->second.erase(position);
    if (found->second.empty()) index.erase(found);
  };
  forget(byName_, entry);
  forget(byText_, entry);
  forget(ordered_, entry);
  if (--lengths_[entry.size()] == 0) lengths_.erase(entry.size());
  if (HoldsStartInside(entry)) --startInside_;
}

void TopMostFolders::NarrowStart(std::u16string_view folder) {
  if (!started_) {
    start_ = folder;
    started_ = true;
    return;
  }
  const auto [shared, unused] =
      std::mismatch(start_.begin(), start_.end(), folder.begin(), folder.end());
  if (shared == start_.end()) return;
  start_.erase(shared, start_.end());
  startInside_ = static_cast<size_t>(
      std::count_if(list_.begin(), list_.end(),
                    [this](const std::u16string& entry) { return HoldsStartInside(entry); }));
}

}  // namespace vk::copy
