// The clean-up's registration for the user, which the launcher writes at
// every launch: the "KVUNINSTALL" value of the "Run" key, and one value per
// product under "SOFTWARE\Kavrin\Uninstall" holding the switches to run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk::uninstall {

struct RegisteredProduct {
  std::u16string product;   // the value's name
  std::u16string switches;  // its data
};

// The values under the uninstall key, in the registry's order; empty when
// the key is missing.
[[nodiscard]] std::vector<RegisteredProduct> RegisteredProducts();

// Removes `product`'s value; false when it stays.
[[nodiscard]] bool Unregister(std::u16string_view product);

// When no product is registered any more: the "Run" value, then the
// uninstall key and the "Kavrin" key when they are left empty.
void UnregisterWhenNoneLeft();

}  // namespace vk::uninstall
