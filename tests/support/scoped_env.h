// Environment variables set for the length of a test.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vk::test {

// The variable's value; nullopt when it is not set.
std::optional<std::u16string> GetEnv(std::u16string_view name);
// Sets the variable, or removes it when `value` is nullopt (on Windows an
// empty value removes it too, as the C runtime does).
void SetEnv(std::u16string_view name, const std::optional<std::u16string>& value);

// Sets a variable and restores its earlier value (or absence) when it goes away.
class ScopedEnv {
 public:
  ScopedEnv(std::u16string_view name, const std::optional<std::u16string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::u16string name_;
  std::optional<std::u16string> saved_;
};

}  // namespace vk::test
