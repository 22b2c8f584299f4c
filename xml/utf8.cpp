#include "xml/utf8.h"

#include <cstdint>
#include <cstring>

namespace vk::xml {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kLowBits = 0x0101010101010101ull;

// True when the eight bytes are all ASCII and none is zero.
bool PlainAsciiWord(const char* in) {
  uint64_t word;
  std::memcpy(&word, in, sizeof word);
  return ((word | ((word - kLowBits) & ~word)) & kHighBits) == 0;
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
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

}  // namespace

size_t Utf8ToUtf16(const char* in, size_t size, char16_t* out) {
  size_t i = 0;
  size_t o = 0;
  while (i < size) {
    if (size - i >= 8 && PlainAsciiWord(in + i)) {
      for (int k = 0; k < 8; ++k) out[o + k] = static_cast<unsigned char>(in[i + k]);
      i += 8;
      o += 8;
      continue;
    }
    const auto lead = static_cast<unsigned char>(in[i]);
    if (lead == 0) break;
    if (lead < 0x80) {
      out[o++] = lead;
      ++i;
      continue;
    }
    unsigned char low;
    unsigned char high;
    const int length = SequenceShape(lead, &low, &high);
    ++i;
    if (length == 0) {
      out[o++] = kReplacement;
      continue;
    }
    uint32_t code = lead & (0xFF >> (length + 1));
    int got = 1;
    for (; got < length && i < size; ++got, ++i) {
      const auto c = static_cast<unsigned char>(in[i]);
      if (got == 1 ? (c < low || c > high) : !IsContinuation(c)) break;
      code = (code << 6) | (c & 0x3F);
    }
    if (got < length) {
      out[o++] = kReplacement;
    } else if (code >= 0x10000) {
      code -= 0x10000;
      out[o++] = static_cast<char16_t>(0xD800 + (code >> 10));
      out[o++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out[o++] = static_cast<char16_t>(code);
    }
  }
  return o;
}

size_t Utf16ToUtf8(const char16_t* in, size_t count, char* out) {
  size_t o = 0;
  for (size_t i = 0; i < count; ++i) {
    // Four ASCII units at a time: the bulk of every customisation document.
    while (count - i >= 4) {
      uint64_t word;
      std::memcpy(&word, in + i, sizeof word);
      if ((word & 0xFF80FF80FF80FF80ull) != 0) break;
      for (int k = 0; k < 4; ++k) out[o + k] = static_cast<char>(in[i + k]);
      i += 4;
      o += 4;
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
      const bool paired =
          code <= 0xDBFF && i + 1 < count && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF;
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
