#include "platform/reg_file.h"

#include <string>

#include "platform/text.h"

namespace vk::platform {
namespace {

constexpr std::u16string_view kHeader = u"Windows Registry Editor Version 5.00";
constexpr uint32_t kRegSzType = 1;
constexpr uint32_t kRegBinaryType = 3;
constexpr uint32_t kRegDwordType = 4;

// regedit breaks a hex line once it reaches this many characters.
constexpr size_t kHexLineLimit = 77;

std::u16string_view TrimLeft(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// True when only blanks and perhaps a ";" comment are left.
bool NothingButComment(std::u16string_view text) {
  text = TrimLeft(text);
  return text.empty() || text.front() == u';';
}

// Reads up to `maxDigits` hex digits from the front of `text`; false when
// there is none.
bool TakeHex(std::u16string_view* text, size_t maxDigits, uint32_t* value) {
  size_t count = 0;
  uint32_t result = 0;
  while (count < text->size() && count < maxDigits && HexDigit((*text)[count]) >= 0) {
    result = (result << 4) | static_cast<uint32_t>(HexDigit((*text)[count]));
    ++count;
  }
  if (count == 0) return false;
  text->remove_prefix(count);
  *value = result;
  return true;
}

void AppendHex(std::u16string* out, uint32_t value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out->push_back(kDigits[(value >> shift) & 0xF]);
  }
}

// The lines of `text` without their line ends (CR LF, LF or CR).
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLines(std::basic_string_view<Char> text) {
  std::vector<std::basic_string_view<Char>> lines;
  size_t start = 0;
  while (true) {
    size_t end = start;
    while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) ++end;
    lines.push_back(text.substr(start, end - start));
    if (end == text.size()) return lines;
    const bool crlf =
        text[end] == Char('\r') && end + 1 < text.size() && text[end + 1] == Char('\n');
    start = end + (crlf ? 2 : 1);
  }
}

// Only valid UTF-8 converts to UTF-16 and back to the very same bytes.
bool IsValidUtf8(std::string_view bytes, std::u16string* text) {
  *text = Utf8ToUtf16(bytes);
  return Utf16ToUtf8(*text) == bytes;
}

// The file's text: UTF-16LE after its byte-order mark, otherwise UTF-8 (with
// or without a byte-order mark).
bool DecodeText(std::string_view bytes, std::u16string* text, RegFileError* error) {
  if (bytes.starts_with("\xFF\xFE")) {
    bytes.remove_prefix(2);
    *text = Utf16LeToString(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (bytes.size() % 2 == 0) return true;
    *error = {static_cast<uint32_t>(SplitLines<char16_t>(*text).size()),
              u"the file ends in the middle of a UTF-16 character"};
    return false;
  }
  if (bytes.starts_with("\xFE\xFF")) {
    *error = {1, u"UTF-16 big-endian files are not supported"};
    return false;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (IsValidUtf8(bytes, text)) return true;
  const std::vector<std::string_view> lines = SplitLines<char>(bytes);
  std::u16string line;
  size_t bad = 0;
  while (bad + 1 < lines.size() && IsValidUtf8(lines[bad], &line)) ++bad;
  *error = {static_cast<uint32_t>(bad + 1), u"the text is not valid UTF-8"};
  return false;
}

// Reads the lines after the header, one key or value line at a time; hex data
// may go on over following lines.
class Parser {
 public:
  explicit Parser(std::vector<std::u16string_view> lines) : lines_(std::move(lines)) {}

  bool Run(std::vector<RegFileKey>* keys, RegFileError* error) {
    bool ok = ParseHeader();
    while (ok && ++index_ < lines_.size()) ok = ParseLine(TrimLeft(lines_[index_]));
    if (!ok) {
      *error = error_;
      return false;
    }
    *keys = std::move(keys_);
    return true;
  }

 private:
  bool Fail(std::u16string reason) {
    error_ = {static_cast<uint32_t>(index_ + 1), std::move(reason)};
    return false;
  }

  bool ParseHeader() {
    if (!lines_.empty() && Trim(lines_[0]).starts_with(u"REGEDIT")) {
      return Fail(
          u"8-bit REGEDIT4 files are not read; save the file as \"Windows Registry Editor Version "
          u"5.00\"");
    }
    if (lines_.empty() || Trim(lines_[0]) != kHeader) {
      return Fail(u"the file does not start with \"Windows Registry Editor Version 5.00\"");
    }
    return true;
  }

  bool ParseLine(std::u16string_view line) {
    if (line.find(u'\0') != std::u16string_view::npos) return Fail(u"NUL character in the line");
    if (line.empty() || line.front() == u';') return true;
    if (line.front() == u'[') return ParseKey(line.substr(1));
    if (line.front() == u'@' || line.front() == u'"') return ParseValue(line);
    return Fail(u"expected a [key], a \"value\"= or a ; comment");
  }

  bool ParseKey(std::u16string_view line) {
    const size_t close = line.rfind(u']');
    if (close == std::u16string_view::npos) return Fail(u"the key name has no closing ]");
    if (!NothingButComment(line.substr(close + 1))) return Fail(u"text after the key name");
    std::u16string_view inner = line.substr(0, close);
    RegFileKey key;
    if (!inner.empty() && inner.front() == u'-') {
      key.remove = true;
      inner.remove_prefix(1);
    }
    if (!CanonicalPath(inner, &key.path)) return false;
    if (key.remove && key.path.find(u'\\') == std::u16string::npos) {
      return Fail(u"a root key cannot be deleted");
    }
    keys_.push_back(std::move(key));
    return true;
  }

  // The path with its root name spelled as in kRegRootNames.
  bool CanonicalPath(std::u16string_view path, std::u16string* canonical) {
    const size_t slash = path.find(u'\\');
    const std::u16string_view root = path.substr(0, slash);
    for (std::u16string_view name : kRegRootNames) {
      if (CompareAsciiNoCase(root, name) == 0) *canonical = name;
    }
    if (canonical->empty()) return Fail(u"unknown root key \"" + std::u16string(root) + u"\"");
    if (slash == std::u16string_view::npos) return true;
    std::u16string_view rest = path.substr(slash + 1);
    for (size_t depth = 1;; ++depth) {
      const size_t next = rest.find(u'\\');
      if (rest.substr(0, next).empty()) return Fail(u"empty key name in the path");
      if (depth > kMaxRegKeyDepth) return Fail(u"the key lies more than 512 levels deep");
      if (next == std::u16string_view::npos) break;
      rest.remove_prefix(next + 1);
    }
    *canonical += path.substr(slash);
    return true;
  }

  bool ParseValue(std::u16string_view line) {
    if (keys_.empty()) return Fail(u"a value before the first [key]");
    if (keys_.back().remove) return Fail(u"a value below a [-key] that is being deleted");
    RegFileValue value;
    const bool quoted = line.front() == u'"';
    line.remove_prefix(1);
    if (quoted && !TakeQuoted(&line, &value.name)) return false;
    line = TrimLeft(line);
    if (line.empty() || line.front() != u'=') return Fail(u"expected = after the value name");
    line = TrimLeft(line.substr(1));
    if (!ParseData(line, &value)) return false;
    keys_.back().values.push_back(std::move(value));
    return true;
  }

  bool ParseData(std::u16string_view data, RegFileValue* value) {
    if (!data.empty() && data.front() == u'-') {
      value->remove = true;
      return NothingButComment(data.substr(1)) || Fail(u"text after =-");
    }
    if (!data.empty() && data.front() == u'"') {
      data.remove_prefix(1);
      std::u16string text;
      if (!TakeQuoted(&data, &text)) return false;
      if (!NothingButComment(data)) return Fail(u"text after the closing quote");
      text.push_back(u'\0');
      value->type = kRegSzType;
      value->data = StringToUtf16Le(text);
      return true;
    }
    if (StartsWithNoCase(data, u"dword:")) {
      data = TrimLeft(data.substr(6));
      uint32_t number = 0;
      if (!TakeHex(&data, 8, &number) || !NothingButComment(data)) {
        return Fail(u"dword: needs 1 to 8 hex digits");
      }
      value->type = kRegDwordType;
      value->data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                     static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
      return true;
    }
    if (StartsWithNoCase(data, u"hex:")) {
      value->type = kRegBinaryType;
      return ParseHexLines(data.substr(4), &value->data);
    }
    if (StartsWithNoCase(data, u"hex(")) {
      data.remove_prefix(4);
      if (!TakeHex(&data, 8, &value->type) || data.substr(0, 2) != u"):") {
        return Fail(u"hex(type): needs a type of 1 to 8 hex digits");
      }
      return ParseHexLines(data.substr(2), &value->data);
    }
    return Fail(u"unknown kind of data (expected \"text\", dword:, hex: or hex(type):)");
  }

  // Text up to the closing quote, with the escapes \\ \" \n \r; `text` then
  // points after the quote.
  bool TakeQuoted(std::u16string_view* text, std::u16string* out) {
    for (size_t i = 0; i < text->size(); ++i) {
      char16_t c = (*text)[i];
      if (c == u'"') {
        text->remove_prefix(i + 1);
        return true;
      }
      if (c == u'\\') {
        if (++i == text->size()) break;
        switch ((*text)[i]) {
          case u'\\':
            c = u'\\';
            break;
          case u'"':
            c = u'"';
            break;
          case u'n':
            c = u'\n';
            break;
          case u'r':
            c = u'\r';
            break;
          default:
            return Fail(u"unknown escape sequence \\" + std::u16string(1, (*text)[i]) +
                        u" (write \\\\ for a backslash)");
        }
      }
      out->push_back(c);
    }
    return Fail(u"missing closing quote");
  }

  // Comma-separated bytes; a "\" at the end of a line continues the data on
  // the next line that is not blank or a comment.
  bool ParseHexLines(std::u16string_view text, std::vector<uint8_t>* data) {
    while (true) {
      bool continued = false;
      if (!ParseHexBytes(text, data, &continued)) return false;
      if (!continued) return true;
      do {
        if (++index_ == lines_.size()) return true;
        text = TrimLeft(lines_[index_]);
      } while (text.empty() || text.front() == u';');
      if (text.find(u'\0') != std::u16string_view::npos) return Fail(u"NUL character in the line");
      if (HexDigit(text.front()) < 0) return Fail(u"expected more hex data after the \\ line end");
    }
  }

  bool ParseHexBytes(std::u16string_view text, std::vector<uint8_t>* data, bool* continued) {
    text = TrimLeft(text);
    while (!text.empty() && text.front() != u';') {
      if (text.front() == u'\\') {
        if (!NothingButComment(text.substr(1))) return Fail(u"text after the \\ line end");
        *continued = true;
        return true;
      }
      uint32_t byte = 0;
      if (!TakeHex(&text, 2, &byte)) return Fail(u"expected a hex byte such as 0a");
      data->push_back(static_cast<uint8_t>(byte));
      text = TrimLeft(text);
      if (text.empty() || text.front() == u';') break;
      if (text.front() != u',') return Fail(u"expected a comma between hex bytes");
      text = TrimLeft(text.substr(1));
    }
    return true;
  }

  const std::vector<std::u16string_view> lines_;
  size_t index_ = 0;
  std::vector<RegFileKey> keys_;
  RegFileError error_;
};

std::u16string Escape(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    switch (c) {
      case u'\\':
        out += u"\\\\";
        break;
      case u'"':
        out += u"\\\"";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\r':
        out += u"\\r";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

// A REG_SZ that a quoted string gives back exactly: one terminating zero and
// no other.
bool IsPlainString(const std::vector<uint8_t>& data, std::u16string* text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  *text = Utf16LeToString(data.data(), data.size());
  if (text->back() != u'\0') return false;
  text->pop_back();
  return text->find(u'\0') == std::u16string::npos;
}

void WriteHexData(std::u16string* out, size_t lineLength, const RegFileValue& value) {
  const size_t start = out->size();
  if (value.type == kRegBinaryType) {
    *out += u"hex:";
  } else {
    int digits = 1;
    while (digits < 8 && (value.type >> (4 * digits)) != 0) ++digits;
    *out += u"hex(";
    AppendHex(out, value.type, digits);
    *out += u"):";
  }
  lineLength += out->size() - start;
  for (size_t i = 0; i < value.data.size(); ++i) {
    AppendHex(out, value.data[i], 2);
    if (i + 1 == value.data.size()) break;
    out->push_back(u',');
    lineLength += 3;
    if (lineLength >= kHexLineLimit) {
      *out += u"\\\r\n  ";
      lineLength = 2;
    }
  }
}

void WriteValue(std::u16string* out, const RegFileValue& value) {
  const size_t start = out->size();
  if (value.name.empty()) {
    *out += u"@=";
  } else {
    *out += u"\"" + Escape(value.name) + u"\"=";
  }
  const size_t lineLength = out->size() - start;
  std::u16string text;
  if (value.remove) {
    *out += u"-";
  } else if (value.type == kRegSzType && IsPlainString(value.data, &text)) {
    *out += u"\"" + Escape(text) + u"\"";
  } else if (value.type == kRegDwordType && value.data.size() == 4) {
    *out += u"dword:";
    AppendHex(out,
              static_cast<uint32_t>(value.data[0]) | static_cast<uint32_t>(value.data[1]) << 8 |
                  static_cast<uint32_t>(value.data[2]) << 16 |
                  static_cast<uint32_t>(value.data[3]) << 24,
              8);
  } else {
    WriteHexData(out, lineLength, value);
  }
  *out += u"\r\n";
}

}  // namespace

std::u16string RegFileError::Describe() const {
  return u"line " + Utf8ToUtf16(std::to_string(line)) + u": " + reason;
}

bool ReadRegFile(std::string_view bytes, std::vector<RegFileKey>* keys, RegFileError* error) {
  keys->clear();
  std::u16string text;
  if (!DecodeText(bytes, &text, error)) return false;
  return Parser(SplitLines<char16_t>(text)).Run(keys, error);
}

std::string WriteRegFile(const std::vector<RegFileKey>& keys, RegFileEncoding encoding) {
  std::u16string text(kHeader);
  text += u"\r\n";
  for (const RegFileKey& key : keys) {
    text += key.remove ? u"\r\n[-" : u"\r\n[";
    text += key.path;
    text += u"]\r\n";
    for (const RegFileValue& value : key.values) WriteValue(&text, value);
  }
  text += u"\r\n";
  if (encoding == RegFileEncoding::kUtf8) return Utf16ToUtf8(text);
  const std::vector<uint8_t> bytes = StringToUtf16Le(text);
  std::string out("\xFF\xFE");
  out.append(bytes.begin(), bytes.end());
  return out;
}

}  // namespace vk::platform
