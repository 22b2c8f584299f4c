#include "app/string_table.h"

namespace vk::app {
namespace {

struct Entry {
  unsigned id;
  const char16_t* text;
};

// The very texts of the Windows string table.
constexpr Entry kStrings[] = {
#define STR(id, text) {id, u"" text},
#include "resources/strings.def"
#undef STR
};

}  // namespace

std::u16string LoadMessageText(unsigned id) {
  for (const Entry& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace vk::app
