#include "profile/placeholders.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vk::profile {
namespace {

using settings::Setting;

struct Placeholder {
  std::u16string_view token;
  Setting entry;
};

// In the order in which they are searched.
constexpr std::array<Placeholder, 11> kPlaceholders = {{
    {u"$$ACAD$$", Setting::AcadPathReg},
    {u"$$COMMON_PATH$$", Setting::CommonPath},
    {u"$$ALLUSER_PATH$$", Setting::AllUserPath},
    {u"$$ONEUSER_PATH$$", Setting::OneUserPath},
    {u"$$VK_PATH$$", Setting::StartLocation},
    {u"$$AC_PATH$$", Setting::AcadLocation},
    {u"$$ACAD_ALLUSERS_PATH$$", Setting::AcadAllUsersPath},
    {u"$$ACAD_ONEUSER_PATH$$", Setting::AcadOneUserPath},
    {u"$$ACAD_NIWTEMPLATE_PATH$$", Setting::CdTemplates},
    {u"$$ACAD_NIWMENUS_PATH$$", Setting::CdMenus},
    {u"$$VK_MENUS_PATH$$", Setting::MenusPath},
}};

constexpr size_t kNone = std::u16string::npos;

// Bit i of a character's origin: the character was inserted for token i,
// directly or inside text inserted for it.
using Origin = uint16_t;

// The first occurrence of `token` that starts in [from, to); kNone if none.
size_t FindStartingIn(const std::u16string& text, std::u16string_view token, size_t from,
                      size_t to) {
  if (from >= to || from >= text.size()) return kNone;
  const size_t end = std::min(text.size(), to + token.size() - 1);
  const size_t found = std::u16string_view(text).substr(from, end - from).find(token);
  return found == kNone ? kNone : from + found;
}

// Each pass replaces the first occurrence of the first token of the table
// that occurs, then searches again from the first token. Rather than search
// the whole text again, each token's first occurrence is kept up to date:
// only what touches the replaced span can have changed.
class Replacer {
 public:
  Replacer(std::u16string* text, const settings::Settings& settings)
      : text_(*text), settings_(settings), origin_(text->size(), 0) {
    for (size_t i = 0; i < kPlaceholders.size(); ++i)
      first_[i] = text_.find(kPlaceholders[i].token);
  }

  void Run() {
    for (;;) {
      size_t t = 0;
      while (t < kPlaceholders.size() && first_[t] == kNone) ++t;
      if (t == kPlaceholders.size()) return;
      ReplaceAt(t, first_[t]);
    }
  }

 private:
  void ReplaceAt(size_t t, size_t at) {
    const size_t removed = kPlaceholders[t].token.size();
    const Origin self = static_cast<Origin>(1u << t);
    Origin consumed = 0;
    for (size_t i = at; i < at + removed; ++i) consumed |= origin_[i];
    // A token made of text that its own entry inserted would come back for
    // ever; it is dropped instead.
    const std::u16string_view inserted =
        (consumed & self) != 0 ? std::u16string_view()
                               : std::u16string_view(settings_[kPlaceholders[t].entry]);

    text_.replace(at, removed, inserted);
    const auto position = origin_.begin() + static_cast<std::ptrdiff_t>(at);
    origin_.erase(position, position + static_cast<std::ptrdiff_t>(removed));
    origin_.insert(origin_.begin() + static_cast<std::ptrdiff_t>(at), inserted.size(),
                   static_cast<Origin>(consumed | self));
    UpdateFirst(at, removed, inserted.size());
  }

  // Text [at, at + removed) became [at, at + inserted).
  void UpdateFirst(size_t at, size_t removed, size_t inserted) {
    for (size_t i = 0; i < kPlaceholders.size(); ++i) {
      const std::u16string_view token = kPlaceholders[i].token;
      size_t& first = first_[i];
      if (first != kNone && first + token.size() <= at) continue;  // wholly before the change
      const size_t windowStart = at >= token.size() - 1 ? at - (token.size() - 1) : 0;
      const size_t touching = FindStartingIn(text_, token, windowStart, at + inserted);
      if (touching != kNone) {
        first = touching;
      } else if (first == kNone) {
        // Still none: an occurrence would have to touch the change.
      } else if (first >= at + removed) {
        first = first - removed + inserted;  // wholly after the change
      } else {
        first = text_.find(token, at + inserted);  // it overlapped the change and is gone
      }
    }
  }

  std::u16string& text_;
  const settings::Settings& settings_;
  std::vector<Origin> origin_;
  std::array<size_t, kPlaceholders.size()> first_{};
};

}  // namespace

void ReplacePlaceholders(std::u16string* text, const settings::Settings& settings) {
  if (text->find(u"$$") == std::u16string::npos) return;
  Replacer(text, settings).Run();
}

}  // namespace vk::profile
