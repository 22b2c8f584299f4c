#include "uninstall/uninstall_switches.h"

#include "platform/command_line.h"
#include "platform/text.h"

namespace vk::uninstall {
namespace {

// Key names are at most 255 characters.
constexpr size_t kMaxProductName = 255;

bool IsSwitch(std::u16string_view arg, char16_t letter) {
  return arg.size() == 2 && (arg[0] == u'-' || arg[0] == u'/') &&
         platform::FoldAsciiCase(arg[1]) == letter;
}

}  // namespace

bool IsProductName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxProductName) return false;
  if (name.back() == u'.' || name.back() == u' ' || name.front() == u' ') return false;
  for (const char16_t c : name) {
    if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) {
      return false;
    }
  }
  return true;
}

bool ParseSwitches(const std::vector<std::u16string>& args, UninstallRequest* request,
                   std::u16string* error) {
  UninstallRequest parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (IsSwitch(arg, u'n')) {
      parsed.listOnly = true;
      continue;
    }
    const bool profile = IsSwitch(arg, u'p');
    if (!profile && !IsSwitch(arg, u'r')) {
      *error = u"unknown switch \"" + arg + u"\"";
      return false;
    }
    if (i + 1 == args.size()) {
      *error = arg + u" without a product name";
      return false;
    }
    const std::u16string& product = args[++i];
    if (!IsProductName(product)) {
      *error = u"\"" + product + u"\" is no product name";
      return false;
    }
    parsed.switches.push_back({profile ? SwitchKind::kProfile : SwitchKind::kRemove, product});
  }
  if (parsed.switches.empty()) {
    *error = u"no -p or -r switch";
    return false;
  }
  *request = std::move(parsed);
  return true;
}

bool ParseSwitchText(std::u16string_view text, UninstallRequest* request, std::u16string* error) {
  // The splitter reads a program name first.
  std::vector<std::u16string> args = platform::SplitCommandLine(u"x " + std::u16string(text));
  args.erase(args.begin());
  return ParseSwitches(args, request, error);
}

}  // namespace vk::uninstall
