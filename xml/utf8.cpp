#include "xml/utf8.h"

#include <cstdint>
#include <cstring>

namespace vk::xml {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// True when the eight bytes are all ASCII.
bool AsciiWord(const char* in) {
  uint64_t word;
  std::memcpy(&word, in, sizeof word);
  return (word & kHighBits) == 0;
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// The allowed range of the second byte of a sequence led by `lead`, and the
// sequence's length; 0 for a byte that cannot lead one.
int SequenceShape(unsigned char lead, unsigned char* low, unsigned char* high) {
  *low = 0x80;
  *high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (lead == 0xE0) *low = 0xA0;
    if (lead == 0xED) *high = 0x9F;  // no encoded surrogates
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (lead == 0xF0) *low = 0x90;
    if (lead == 0xF4) *high = 0x8F;
    return 4;
  }
  return 0;
}

// The low bytes of four units read as one little-endian word, in order.
uint32_t LowBytes(uint64_t units) {
  units = (units | (units >> 8)) & 0x0000FFFF0000FFFFull;
  return static_cast<uint32_t>(units | (units >> 16));
}

}  // namespace

size_t Utf8ToUtf16(const char* in, size_t size, char16_t* out) {
  size_t i = 0;
  size_t o = 0;
  while (i < size) {
    if (size - i >= 8 && AsciiWord(in + i)) {
      for (int k = 0; k < 8; ++k) out[o + k] = static_cast<unsigned char>(in[i + k]);
      i += 8;
      o += 8;
      continue;
    }
    const auto lead = static_cast<unsigned char>(in[i]);
    if (lead < 0x80) {
      out[o++] = lead;
      ++i;
      continue;
    }
    unsigned char low;
    unsigned char high;
    const int length = SequenceShape(lead, &low, &high);
    if (length == 0 || size - i < static_cast<size_t>(length)) return kInvalidText;
    uint32_t code = lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(in[i + k]);
      if (k == 1 ? (c < low || c > high) : !IsContinuation(c)) return kInvalidText;
      code = (code << 6) | (c & 0x3F);
    }
    i += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      out[o++] = static_cast<char16_t>(0xD800 + (code >> 10));
      out[o++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out[o++] = static_cast<char16_t>(code);
    }
  }
  return o;
}

bool IsUtf16(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0xD800 || c > 0xDFFF) continue;
    if (!IsHighSurrogate(c) || i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) return false;
    ++i;
  }
  return true;
}

size_t Utf16ToUtf8(const char16_t* in, size_t count, char* out) {
  size_t o = 0;
  for (size_t i = 0; i < count; ++i) {
    // Eight ASCII units at a time: the bulk of every customisation document.
    while (count - i >= 8) {
      uint64_t words[2];
      std::memcpy(words, in + i, sizeof words);
      if (((words[0] | words[1]) & 0xFF80FF80FF80FF80ull) != 0) break;
      const uint64_t bytes = LowBytes(words[0]) | uint64_t{LowBytes(words[1])} << 32;
      std::memcpy(out + o, &bytes, sizeof bytes);
      i += 8;
      o += 8;
    }
    if (i == count) break;
    uint32_t code = in[i];
    if (code < 0x80) {
      out[o++] = static_cast<char>(code);
      continue;
    }
    if (code < 0x800) {
      out[o++] = static_cast<char>(0xC0 | (code >> 6));
      out[o++] = static_cast<char>(0x80 | (code & 0x3F));
      continue;
    }
    if (code >= 0xD800 && code <= 0xDFFF) {
      const bool paired = IsHighSurrogate(in[i]) && i + 1 < count && IsLowSurrogate(in[i + 1]);
      if (paired) {
        code = 0x10000 + ((code - 0xD800) << 10) + (in[++i] - 0xDC00);
        out[o++] = static_cast<char>(0xF0 | (code >> 18));
        out[o++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out[o++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[o++] = static_cast<char>(0x80 | (code & 0x3F));
        continue;
      }
      code = kReplacement;
    }
    out[o++] = static_cast<char>(0xE0 | (code >> 12));
    out[o++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[o++] = static_cast<char>(0x80 | (code & 0x3F));
  }
  return o;
}

}  // namespace vk::xml
