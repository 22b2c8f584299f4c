#include <windows.h>

#include <shellapi.h>

#include "platform/command_line.h"

static_assert(sizeof(wchar_t) == 2);

namespace vk::platform {

std::vector<std::u16string> ProcessArguments() {
  std::vector<std::u16string> args;
  int count = 0;
  LPWSTR* vector = CommandLineToArgvW(GetCommandLineW(), &count);
  if (vector == nullptr) return args;
  for (int i = 0; i < count; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(vector[i]));
  LocalFree(vector);
  return args;
}

}  // namespace vk::platform
