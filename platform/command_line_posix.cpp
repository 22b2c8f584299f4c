#include <cstdio>
#include <string>

#include "platform/command_line.h"
#include "platform/text.h"

namespace vk::platform {

std::vector<std::u16string> ProcessArguments() {
  std::vector<std::u16string> args;
  std::FILE* f = std::fopen("/proc/self/cmdline", "rb");
  if (f == nullptr) return args;
  std::string all;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) all.append(buffer, got);
  std::fclose(f);
  // The kernel separates the arguments by zeros, each one ending in its own.
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(Utf8ToUtf16(std::string_view(all).substr(start, end - start)));
    start = end + 1;
  }
  return args;
}

}  // namespace vk::platform
