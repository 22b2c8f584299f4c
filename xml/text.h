// The node model's strings: owned, zero-terminated UTF-16 texts that can be
// absent, and the name comparison that folds the letter case of A-Z only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vk::xml {

// An owned, zero-terminated UTF-16 text, or none. Move-only: every copy is an
// explicit new text.
//
// A text may also be placed in memory that its node owns: the reader and
// NodeNew allocate a node and its texts in one block, which makes reading a
// document several times faster. Such a text is never released by itself, and
// moving it elsewhere makes an owned copy, so no text can outlive its memory.
class XmlText {
 public:
  XmlText() = default;
  // A copy of `size` characters at `text`, or none when `text` is null.
  XmlText(const char16_t* text, size_t size);
  // A copy of a zero-terminated text, or none when `text` is null.
  explicit XmlText(const char16_t* text);
  // Replaces the text by one that stays where it is, in memory the caller
  // keeps alive as long as this object; null gives none.
  void Place(const char16_t* text) {
    Release();
    if (text != nullptr) bits_ = reinterpret_cast<uintptr_t>(text) | kPlacedBit;
  }

  XmlText(XmlText&& other) noexcept;
  XmlText& operator=(XmlText&& other) noexcept;
  ~XmlText() { Release(); }

  // True when a text is present, even an empty one.
  explicit operator bool() const { return bits_ != 0; }
  // The zero-terminated text, or null when none.
  const char16_t* c_str() const { return reinterpret_cast<const char16_t*>(bits_ & ~kPlacedBit); }
  // The text; "" when none.
  std::u16string_view view() const {
    return bits_ != 0 ? std::u16string_view(c_str()) : std::u16string_view();
  }
  // True when none or "".
  bool empty() const { return bits_ == 0 || c_str()[0] == 0; }

 private:
  // Texts are aligned to two bytes, so the lowest bit of the address is free
  // to mark a placed text.
  static constexpr uintptr_t kPlacedBit = 1;

  // Inline, since most texts are placed or none and need no call to release.
  void Release() {
    if (bits_ != 0 && (bits_ & kPlacedBit) == 0) ReleaseOwned();
    bits_ = 0;
  }
  void ReleaseOwned();
  // Takes over `other`'s text, copying it when it is placed.
  void TakeFrom(XmlText& other);

  uintptr_t bits_ = 0;
};

// True when both texts are present and equal with A-Z folded to a-z; every
// other character, accented letters included, must match exactly.
[[nodiscard]] bool TextEqualsNoCase(const char16_t* a, const char16_t* b);

}  // namespace vk::xml
