#include "profile/registry_script.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "profile/placeholders.h"
#include "profile/registry_access.h"

namespace vk::profile {
namespace {

using platform::HexDigit;

constexpr size_t kNone = std::u16string_view::npos;
constexpr std::u16string_view kWhiteSpace = u" \t\n\v\f\r";
constexpr std::u16string_view kOptionsHeader = u"{OPTIONS:";
constexpr std::u16string_view kCurrentUser = u"HKEY_CURRENT_USER";
// Refused lines named one by one in the launch log; the rest are counted.
constexpr int kNamedRefusals = 5;

std::u16string_view TrimLeft(std::u16string_view text, std::u16string_view chars) {
  const size_t first = text.find_first_not_of(chars);
  return first == kNone ? std::u16string_view() : text.substr(first);
}

std::u16string_view TrimRight(std::u16string_view text, std::u16string_view chars) {
  const size_t last = text.find_last_not_of(chars);
  return last == kNone ? std::u16string_view() : text.substr(0, last + 1);
}

bool Contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != kNone;
}

// Hexadecimal digits from `at` up to the first other character.
uint32_t ReadHex(std::u16string_view text, size_t at) {
  uint64_t number = 0;
  for (size_t i = at; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
    number = std::min<uint64_t>(number * 16 + static_cast<uint64_t>(HexDigit(text[i])), 0xFFFFFFFF);
  }
  return static_cast<uint32_t>(number);
}

std::u16string DecodeScript(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
      static_cast<uint8_t>(bytes[1]) == 0xFE) {
    return platform::Utf16LeToString(reinterpret_cast<const uint8_t*>(bytes.data()) + 2,
                                     bytes.size() - 2);
  }
  return platform::CodePageToUtf16(bytes);
}

// Lines that an import passes over by design, not counted as refused:
// comments and the headers of exported registry files.
bool IsCommentOrHeader(std::u16string_view line) {
  return line.front() == u';' || line.starts_with(u"REGEDIT") ||
         line.starts_with(u"Windows Registry Editor");
}

// The state of one import: the options text in force, whether its block is
// active, and the key of the last key line.
class ScriptImport {
 public:
  ScriptImport(const settings::Settings& settings, uint32_t editionFlags)
      : settings_(settings), editionFlags_(editionFlags) {}

  const ScriptImportCounts& counts() const { return counts_; }

  void Line(std::u16string_view raw) {
    std::u16string expanded(raw);
    ReplacePlaceholders(&expanded, settings_);
    const std::u16string_view line = platform::Trim(expanded, kWhiteSpace);
    if (line.empty()) return;
    if (line.starts_with(kOptionsHeader)) {
      options_ = line.substr(kOptionsHeader.size());
      active_ = OptionsMatch(options_, editionFlags_);
    } else if (!active_) {
      // Inactive block: nothing but the next header counts.
    } else if (line.front() == u'[') {
      OpenKeyLine(line);
    } else {
      WriteValueLine(line);
    }
  }

 private:
  void OpenKeyLine(std::u16string_view line) {
    key_.Reset();
    const std::u16string_view path = TrimRight(TrimLeft(line, u" ["), u" ]");
    const size_t root = path.find(kCurrentUser);
    if (root == kNone) {
      Refuse(line, "not below HKEY_CURRENT_USER");
      return;
    }
    // Skips the root name and the backslash after it.
    const size_t relative = root + kCurrentUser.size() + 1;
    const std::u16string_view subkey =
        relative < path.size() ? path.substr(relative) : std::u16string_view();
    if (const long made = platform::CreateKey(platform::CurrentUserRoot(), subkey,
                                              platform::kKeyAllAccess, key_.Receive(), nullptr);
        made != platform::kErrorSuccess) {
      Refuse(line, "the key cannot be created: system error " + launchlog::SystemError(made));
    }
  }

  void WriteValueLine(std::u16string_view line) {
    ScriptValue value;
    if (!key_) {
      Refuse(line, "no key is open");
      return;
    }
    if (!ParseValueLine(line, &value)) {
      Refuse(line, "not a value line");
      return;
    }
    if (!Contains(options_, u"Prep")) {
      Written(line,
              value.type == platform::kRegDword
                  ? SetDwordValue(key_.get(), value.name, value.number)
                  : platform::SetStringValue(key_.get(), value.name, platform::kRegSz, value.text));
      return;
    }
    // A prepending block puts its text before the text already there.
    if (value.type == platform::kRegDword) {
      Refuse(line, "a number cannot be prepended");
      return;
    }
    uint32_t type = platform::kRegSz;
    RegistryValue old;
    if (QueryRegistryValue(key_.get(), value.name, 0, false, &old) == platform::kErrorSuccess &&
        (old.type == platform::kRegSz || old.type == platform::kRegExpandSz) && !old.data.empty()) {
      value.text += RegistryValueText(old.data);
      type = old.type;
    }
    Written(line, platform::SetStringValue(key_.get(), value.name, type, value.text));
  }

  void Written(std::u16string_view line, long result) {
    if (result == platform::kErrorSuccess) {
      ++counts_.written;
    } else {
      Refuse(line, "the value cannot be written: system error " + launchlog::SystemError(result));
    }
  }

  void Refuse(std::u16string_view line, const std::string& reason) {
    if (IsCommentOrHeader(line)) return;
    if (++counts_.refused > kNamedRefusals) return;
    launchlog::Record("profile", u"line not applied (" + platform::Utf8ToUtf16(reason) + u"): " +
                                     std::u16string(line));
  }

  const settings::Settings& settings_;
  const uint32_t editionFlags_;
  std::u16string options_;
  bool active_ = true;
  platform::ScopedKey key_;
  ScriptImportCounts counts_;
};

}  // namespace

bool ParseValueLine(std::u16string_view line, ScriptValue* value) {
  const size_t equals = line.find(u'=');
  if (equals == kNone) return false;
  const std::u16string_view name = platform::Trim(line.substr(0, equals), u" \"");
  value->name = name == u"@" ? std::u16string_view() : name;
  const std::u16string_view text = platform::Trim(line.substr(equals + 1), kWhiteSpace);
  const size_t dword = text.find(u"dword");
  if (dword != kNone) {
    value->type = platform::kRegDword;
    value->number = ReadHex(text, dword + 6);
    value->text.clear();
  } else {
    value->type = platform::kRegSz;
    value->text = platform::Trim(text, u"\"");
    value->number = 0;
  }
  return true;
}

bool OptionsMatch(std::u16string_view options, uint32_t editionFlags) {
  struct Letter {
    char16_t name;
    uint32_t bit;
  };
  constexpr Letter kLetters[] = {
      {u'D', settings::kEditionDT}, {u'A', settings::kEditionA}, {u'H', settings::kEditionH}};
  int conditions = 0;
  int satisfied = 0;
  bool orHit = false;
  for (const Letter& letter : kLetters) {
    const bool installed = (editionFlags & letter.bit) != 0;
    const char16_t andCondition[] = {u'&', letter.name};
    const char16_t orCondition[] = {u'|', letter.name};
    const char16_t notCondition[] = {u'!', letter.name};
    if (Contains(options, {andCondition, 2})) {
      if (!installed) return false;
      ++satisfied;
    } else if (Contains(options, {orCondition, 2})) {
      orHit = orHit || installed;
    } else if (Contains(options, {notCondition, 2})) {
      if (installed) return false;
      ++satisfied;
    } else {
      continue;
    }
    ++conditions;
  }
  if (conditions == 0 || satisfied == 3) return true;
  return orHit;
}

bool ImportRegistryScript(std::u16string_view path, const settings::Settings& settings,
                          uint32_t editionFlags) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, &bytes)) {
    launchlog::Record("profile", u"script " + std::u16string(path) + u" cannot be read");
    return false;
  }
  const ScriptImportCounts counts = ImportRegistryScriptBytes(bytes, settings, editionFlags);
  launchlog::Record("profile", u"script " + std::u16string(path) + u" imported: " +
                                   launchlog::WideNumber(counts.written) + u" values written, " +
                                   launchlog::WideNumber(counts.refused) + u" lines not applied");
  return true;
}

ScriptImportCounts ImportRegistryScriptBytes(std::string_view bytes,
                                             const settings::Settings& settings,
                                             uint32_t editionFlags) {
  const std::u16string text = DecodeScript(bytes);
  ScriptImport import(settings, editionFlags);
  // Every run of CR and LF characters is one line break.
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = std::min(text.find_first_of(u"\r\n", begin), text.size());
    if (end > begin) import.Line(std::u16string_view(text).substr(begin, end - begin));
    begin = end + 1;
  }
  return import.counts();
}

}  // namespace vk::profile
