// The clean-up's switches, from its command line or from a product's value
// under "SOFTWARE\Kavrin\Uninstall": -p NAME, -r NAME and -n.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk::uninstall {

enum class SwitchKind {
  kProfile,  // -p: AutoCAD is moved off the product's profile
  kRemove,   // -r: what the product's uninstall log names is removed
};

struct ProductSwitch {
  SwitchKind kind = SwitchKind::kRemove;
  std::u16string product;
};

struct UninstallRequest {
  std::vector<ProductSwitch> switches;
  // -n: list what would be removed and change nothing.
  bool listOnly = false;
};

// Whether `name` can be a product: one key name and one folder name, so
// that it leads nowhere but to its own key and folders (no separator, no
// wildcard, no "." or "..", no blank or dot at its end, nothing a file name
// cannot hold).
[[nodiscard]] bool IsProductName(std::u16string_view name);

// Reads switches (the program's arguments after its path; "-" or "/", either
// case). False, with `error` saying why, for an unknown switch, a -p or -r
// without a product name after it, a name that is no product, or no -p or -r.
[[nodiscard]] bool ParseSwitches(const std::vector<std::u16string>& args, UninstallRequest* request,
                                 std::u16string* error);

// The same for switches written as one text, split by the command-line rules.
[[nodiscard]] bool ParseSwitchText(std::u16string_view text, UninstallRequest* request,
                                   std::u16string* error);

}  // namespace vk::uninstall
