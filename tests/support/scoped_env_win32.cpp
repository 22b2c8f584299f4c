#include <windows.h>

#include <stdlib.h>

#include "tests/support/scoped_env.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::test {
namespace {

std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

}  // namespace

std::optional<std::u16string> GetEnv(std::u16string_view name) {
  const std::wstring wideName = Wide(name);
  DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(wideName.c_str(), value.data(), size));
  return std::u16string(reinterpret_cast<const char16_t*>(value.data()), value.size());
}

// Through the C runtime, so that getenv sees the change as well as the
// Win32 environment.
void SetEnv(std::u16string_view name, const std::optional<std::u16string>& value) {
  std::wstring assignment = Wide(name) + L"=";
  if (value) assignment += Wide(*value);
  _wputenv(assignment.c_str());
}

}  // namespace vk::test
