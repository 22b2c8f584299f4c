#include "xml/text.h"

#include <algorithm>
#include <string>

namespace vk::xml {
namespace {

char16_t FoldAz(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

}  // namespace

XmlText::XmlText(const char16_t* text, size_t size) {
  if (text == nullptr) return;
  auto* copy = new char16_t[size + 1];
  std::copy_n(text, size, copy);
  copy[size] = 0;
  bits_ = reinterpret_cast<uintptr_t>(copy);
}

XmlText::XmlText(const char16_t* text)
    : XmlText(text, text ? std::char_traits<char16_t>::length(text) : 0) {}

XmlText::XmlText(XmlText&& other) noexcept {
  TakeFrom(other);
}

XmlText& XmlText::operator=(XmlText&& other) noexcept {
  if (this != &other) {
    Release();
    TakeFrom(other);
  }
  return *this;
}

void XmlText::ReleaseOwned() {
  delete[] reinterpret_cast<char16_t*>(bits_);
}

void XmlText::TakeFrom(XmlText& other) {
  if ((other.bits_ & kPlacedBit) != 0) {
    *this = XmlText(other.c_str());
    return;
  }
  bits_ = other.bits_;
  other.bits_ = 0;
}

bool TextEqualsNoCase(const char16_t* a, const char16_t* b) {
  if (a == nullptr || b == nullptr) return false;
  for (;; ++a, ++b) {
    if (FoldAz(*a) != FoldAz(*b)) return false;
    if (*a == 0) return true;
  }
}

}  // namespace vk::xml
