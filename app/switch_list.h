// The launcher's command line as ordered switches and values, handed on to
// AutoCAD.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk::app {

struct SwitchEntry {
  std::optional<std::u16string> name;   // without its "/" or "-"; none for a bare value
  std::optional<std::u16string> value;  // none when the switch had no value
};

class SwitchList {
 public:
  // Positions in the table of switch names the launcher knows.
  static constexpr int kObjectEnabler = 2;  // "ld"
  static constexpr int kNoLogo = 5;         // "nologo"
  static constexpr int kProfile = 7;        // "p"
  static constexpr int kNameCount = 15;

  // The known name at `index`, or empty outside the table.
  static std::u16string_view KnownName(int index);

  // Fills an empty list from an argument vector whose first element, the
  // program path, is never looked at; empty arguments are skipped.
  void Parse(const std::vector<std::u16string>& args);
  // True when an entry carries the known name at `index` (any letter case).
  [[nodiscard]] bool IsPresent(int index) const;
  // Gives the first entry named as `index` the value, or appends such an entry;
  // returns its position, or -1 for an index outside the table.
  int SetValue(int index, std::u16string_view value);
  // " /name" for every name and " \"value\"" for every value, in list order,
  // quoted by the Windows argument rules so that each reads back whole (a name
  // is quoted only when it holds a blank or a quote); empty for an empty list.
  [[nodiscard]] std::u16string Compose() const;

  const std::vector<SwitchEntry>& entries() const { return entries_; }

 private:
  std::vector<SwitchEntry> entries_;
};

}  // namespace vk::app
