#include "app/switch_list.h"

#include <array>

#include "platform/text.h"

namespace vk::app {
namespace {

constexpr std::array<std::u16string_view, SwitchList::kNameCount> kNames = {
    u"b",  u"c", u"ld", u"nohardware", u"nolisp", u"nologo", u"nossm", u"p",
    u"pl", u"r", u"s",  u"set",        u"t",      u"v",      u"w",
};

// A missing name equals an empty one; otherwise A-Z compare without case.
bool NameEquals(const std::optional<std::u16string>& name, std::u16string_view known) {
  return platform::CompareAsciiNoCase(name.value_or(u""), known) == 0;
}

bool IsSwitchPrefix(char16_t c) {
  return c == u'/' || c == u'-';
}

// `text` in double quotes, written so that CommandLineToArgvW reads it back
// whole: backslashes before a quote or the closing quote are doubled, and a
// quote inside gets one more.
void AppendQuoted(std::u16string_view text, std::u16string* out) {
  out->push_back(u'"');
  size_t backslashes = 0;
  for (char16_t c : text) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    out->append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
    out->push_back(c);
    backslashes = 0;
  }
  out->append(2 * backslashes, u'\\');
  out->push_back(u'"');
}

}  // namespace

std::u16string_view SwitchList::KnownName(int index) {
  return index >= 0 && index < kNameCount ? kNames[static_cast<size_t>(index)] : u"";
}

void SwitchList::Parse(const std::vector<std::u16string>& args) {
  std::optional<SwitchEntry> pending;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    // An empty argument has no first character to tell a switch from a value.
    if (arg.empty()) continue;
    if (IsSwitchPrefix(arg[0])) {
      if (pending) entries_.push_back(std::move(*pending));
      pending = SwitchEntry{arg.substr(1), std::nullopt};
    } else if (pending) {
      pending->value = arg;
      entries_.push_back(std::move(*pending));
      pending.reset();
    } else {
      entries_.push_back(SwitchEntry{std::nullopt, arg});
    }
  }
  if (pending) entries_.push_back(std::move(*pending));
}

bool SwitchList::IsPresent(int index) const {
  if (index < 0 || index >= kNameCount) return false;
  for (const SwitchEntry& entry : entries_) {
    if (NameEquals(entry.name, KnownName(index))) return true;
  }
  return false;
}

int SwitchList::SetValue(int index, std::u16string_view value) {
  if (index < 0 || index >= kNameCount) return -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (NameEquals(entries_[i].name, KnownName(index))) {
      entries_[i].value = std::u16string(value);
      return static_cast<int>(i);
    }
  }
  entries_.push_back(SwitchEntry{std::u16string(KnownName(index)), std::u16string(value)});
  return static_cast<int>(entries_.size() - 1);
}

std::u16string SwitchList::Compose() const {
  std::u16string text;
  for (const SwitchEntry& entry : entries_) {
    if (entry.name) {
      text += u" /";
      // A name is quoted only when a blank or a quote would split it.
      if (entry.name->find_first_of(u" \t\"") == std::u16string::npos) {
        text += *entry.name;
      } else {
        AppendQuoted(*entry.name, &text);
      }
    }
    // Otherwise "C:\Support\" would end in \" and swallow the switches after it.
    if (entry.value) {
      text += u' ';
      AppendQuoted(*entry.value, &text);
    }
  }
  return text;
}

}  // namespace vk::app
