#include "xml/parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "xml/node_block.h"
#include "xml/utf8.h"

namespace vk::xml {
namespace {

// One reader for both forms of text: the UTF-8 bytes of a document, read
// directly so that no converted copy of the whole text is needed, and the
// UTF-16 text that XmlParseNode and XmlParseComment take. Every delimiter is
// ASCII, which UTF-8 never uses inside a multi-byte sequence and which the
// conversion never produces from other bytes, so both forms find the same
// delimiters and every token converts to the same text. Every unit that is not
// ASCII lies inside some token, so converting the tokens checks the whole text.

// The units written, or kInvalidText for text that is not UTF-8 (UTF-16).
// Tokens are short and mostly ASCII, so their ASCII start is widened here.
size_t Widen(const char* text, size_t size, char16_t* out) {
  size_t ascii = 0;
  for (; ascii < size && static_cast<unsigned char>(text[ascii]) < 0x80; ++ascii) {
    out[ascii] = static_cast<char16_t>(text[ascii]);
  }
  if (ascii == size) return size;
  const size_t rest = Utf8ToUtf16(text + ascii, size - ascii, out + ascii);
  return rest == kInvalidText ? kInvalidText : ascii + rest;
}
size_t Widen(const char16_t* text, size_t size, char16_t* out) {
  if (!IsUtf16(std::u16string_view(text, size))) return kInvalidText;
  std::copy_n(text, size, out);
  return size;
}

const char* Find(const char* p, const char* end, char c) {
  const void* found = std::memchr(p, c, static_cast<size_t>(end - p));
  return found != nullptr ? static_cast<const char*>(found) : end;
}
const char16_t* Find(const char16_t* p, const char16_t* end, char c) {
  return std::find(p, end, static_cast<char16_t>(c));
}

template <typename Char>
bool IsSpace(Char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What ends a tag or attribute name, "=" included: one table look-up per byte.
constexpr std::array<bool, 128> kNameStops = [] {
  std::array<bool, 128> stops{};
  for (const char c : {' ', '\t', '\r', '\n', '/', '>', '='}) stops[static_cast<size_t>(c)] = true;
  return stops;
}();

template <typename Char>
bool StopsName(Char c) {
  const auto unit = static_cast<std::make_unsigned_t<Char>>(c);
  return unit < kNameStops.size() && kNameStops[unit];
}

template <typename Char>
struct Span {
  const Char* begin = nullptr;  // none when null
  size_t size = 0;
};

template <typename Char>
Span<Char> SpanOf(const Char* begin, const Char* end) {
  return {begin, static_cast<size_t>(end - begin)};
}

void Adopt(XmlNode* element, XmlNode* chain, XmlNode** head) {
  *head = chain;
  for (; chain != nullptr; chain = chain->next) chain->parent = element;
}

template <typename Char>
class Parser {
 public:
  Parser(const Char* begin, const Char* end) : p_(begin), end_(end) {}

  const Char* cursor() const { return p_; }

  // Reads a comment into `*comment`, replacing what it held.
  int Comment(XmlText* comment) {
    SkipSpace();
    if (!Continues("<!--")) return kParseNothing;
    const Char* start = p_ + 4;
    for (const Char* dash = Find(start, end_, '-'); dash != end_;
         dash = Find(dash + 1, end_, '-')) {
      if (end_ - dash >= 3 && dash[1] == '-' && dash[2] == '>') {
        XmlText text = OwnedText(SpanOf(start, dash));
        if (invalidText_) return kParseSyntaxError;
        *comment = std::move(text);
        p_ = dash + 3;
        return kParseRead;
      }
    }
    return kParseSyntaxError;
  }

  // Reads a comment (replacing `*comment`) and one node at `level` (1 at the
  // top); on kParseRead `*node` is the new node and holds the comment.
  int Node(XmlText* comment, int level, XmlNode** node) {
    if (level > kMaxElementDepth) return kParseSyntaxError;
    if (Comment(comment) == kParseSyntaxError) return kParseSyntaxError;
    SkipSpace();
    if (p_ == end_) return kParseNothing;
    if (*p_ != '<') return kParseSyntaxError;
    ++p_;
    const int result = Continues("![CDATA[") ? Cdata(node) : Element(level, node);
    if (result != kParseRead) return result;
    XmlDocument made(*node);
    if (invalidText_) return kParseSyntaxError;
    NodeSetComment(made.get(), std::move(*comment));
    *node = made.release();
    return kParseRead;
  }

 private:
  // Converts the span into `out`, which holds span.size units: the units, or
  // 0 after marking the text invalid, which fails the node being read.
  template <typename SpanChar>
  size_t Convert(Span<SpanChar> span, char16_t* out) {
    const size_t units = Widen(span.begin, span.size, out);
    if (units != kInvalidText) return units;
    invalidText_ = true;
    return 0;
  }

  XmlText OwnedText(Span<Char> span) {
    std::u16string text(span.size, u'\0');
    text.resize(Convert(span, text.data()));
    return XmlText(text.data(), text.size());
  }

  // Converts the span into the room, zero-terminated, and places it there.
  template <typename SpanChar>
  void PlaceText(Span<SpanChar> span, char16_t** room, XmlText* placed) {
    if (span.begin == nullptr) return;
    char16_t* text = *room;
    const size_t units = Convert(span, text);
    text[units] = 0;
    *room += units + 1;
    placed->Place(text);
  }

  // A node whose name and value share its block. A UTF-8 span never converts
  // to more units than it has bytes.
  template <typename NameChar>
  XmlNode* NewNode(Span<NameChar> name, Span<Char> value) {
    const size_t room = name.size + 1 + (value.begin != nullptr ? value.size + 1 : 0);
    char16_t* texts;
    XmlNode* node = chunks_.New(room, &texts);
    PlaceText(name, &texts, &node->name);
    PlaceText(value, &texts, &node->value);
    return node;
  }

  bool Continues(std::string_view ascii) const {
    if (static_cast<size_t>(end_ - p_) < ascii.size()) return false;
    for (size_t i = 0; i < ascii.size(); ++i) {
      if (p_[i] != static_cast<Char>(ascii[i])) return false;
    }
    return true;
  }

  Char Peek() const { return p_ != end_ ? *p_ : Char(0); }

  void SkipSpace() {
    while (p_ != end_ && IsSpace(*p_)) ++p_;
  }

  // A CDATA section's text ends at its first "]", which must begin "]]>".
  int Cdata(XmlNode** node) {
    p_ += 8;
    const Char* bracket = Find(p_, end_, ']');
    if (end_ - bracket < 3 || bracket[1] != ']' || bracket[2] != '>') return kParseSyntaxError;
    *node = NewNode(Span<char16_t>{u"CDATA", 5}, SpanOf(p_, bracket));
    p_ = bracket + 3;
    return kParseRead;
  }

  int Element(int level, XmlNode** node) {
    // "<!" starts a markup declaration, such as a document type: outside the
    // subset. Read as an element, "<!--x/>" behind a comment would come back
    // from a save as an unterminated comment.
    if (Peek() == '!') return kParseSyntaxError;
    const Char* nameStart = p_;
    while (p_ != end_ && !StopsName(*p_)) ++p_;
    if (p_ == end_ || *p_ == '=') return kParseSyntaxError;
    const Span<Char> name = SpanOf(nameStart, p_);

    XmlNode* attributes = nullptr;
    bool empty = false;
    if (*p_ == '>') {
      ++p_;
    } else {
      if (*p_ != '/') ++p_;
      if (Attributes(&attributes, &empty) != kParseRead) {
        NodeFree(attributes);
        return kParseSyntaxError;
      }
    }

    XmlNode* element;
    if (empty) {
      element = NewNode(name, Span<Char>());
    } else {
      SkipSpace();
      if (Peek() == '<') {
        element = NewNode(name, Span<Char>());
      } else {
        // Text: from its first non-blank character up to the closing tag.
        const Char* lt = Find(p_, end_, '<');
        if (end_ - lt < 2 || lt[1] != '/') {
          NodeFree(attributes);
          return kParseSyntaxError;
        }
        element = NewNode(name, SpanOf(p_, lt));
        p_ = lt;
      }
    }
    Adopt(element, attributes, &element->firstAttribute);
    if (!empty && (Children(element, level) != kParseRead || !ClosingTag(name))) {
      NodeFree(element);
      return kParseSyntaxError;
    }
    *node = element;
    return kParseRead;
  }

  // Attributes up to the end of the start tag; `*empty` when it ended the
  // element ("/>", or "?>" after an attribute).
  int Attributes(XmlNode** first, bool* empty) {
    XmlNode* last = nullptr;
    for (;;) {
      SkipSpace();
      const Char* nameStart = p_;
      while (p_ != end_ && !StopsName(*p_)) ++p_;
      if (Continues("/>")) {
        // A name standing alone before "/>" is passed over, yet its bytes
        // are part of the text, which must be valid all through.
        if (p_ != nameStart) (void)OwnedText(SpanOf(nameStart, p_));
        if (invalidText_) return kParseSyntaxError;
        p_ += 2;
        *empty = true;
        return kParseRead;
      }
      if (Peek() == '>') return kParseSyntaxError;
      const Span<Char> name = SpanOf(nameStart, p_);
      SkipSpace();
      if (Peek() != '=') return kParseSyntaxError;
      ++p_;
      SkipSpace();
      if (Peek() != '"') return kParseSyntaxError;
      ++p_;
      const Char* quote = Find(p_, end_, '"');
      if (quote == end_) return kParseSyntaxError;

      // Linked here rather than by NodeAppendAttribute, which walks the whole
      // chain each time; the result is the same.
      XmlNode* attribute = NewNode(name, SpanOf(p_, quote));
      attribute->previous = last;
      (last != nullptr ? last->next : *first) = attribute;
      last = attribute;

      p_ = quote + 1;
      SkipSpace();
      if (Continues("?>") || Continues("/>")) {
        p_ += 2;
        *empty = true;
        return kParseRead;
      }
      if (Peek() == '>') {
        ++p_;
        return kParseRead;
      }
    }
  }

  // Child nodes up to "</" (none when the element holds text). Each child is
  // linked after the last one directly, so a wide element costs no more per
  // child than a narrow one.
  int Children(XmlNode* element, int level) {
    XmlNode* last = nullptr;
    for (;;) {
      SkipSpace();
      if (Continues("</")) return kParseRead;
      XmlText comment;
      if (Comment(&comment) == kParseSyntaxError) return kParseSyntaxError;
      XmlNode* child;
      if (Node(&comment, level + 1, &child) != kParseRead) return kParseSyntaxError;
      child->parent = element;
      child->previous = last;
      (last != nullptr ? last->next : element->firstChild) = child;
      last = child;
      if (p_ == end_) return kParseSyntaxError;
    }
  }

  // At "</": the element's exact name, then ">". Names hold no ">", so the
  // name must be all that stands up to the next one.
  bool ClosingTag(Span<Char> name) {
    p_ += 2;
    const Char* gt = Find(p_, end_, '>');
    if (gt == end_) return false;
    const Span<Char> closing = SpanOf(p_, gt);
    p_ = gt + 1;
    return closing.size == name.size &&
           std::equal(name.begin, name.begin + name.size, closing.begin);
  }

  const Char* p_;
  const Char* end_;
  // Set once a token held text that is not valid UTF-8 (UTF-16); the read
  // then fails, so that no text is ever replaced.
  bool invalidText_ = false;
  NodeChunks chunks_;
};

// Moves a node that the reader made into the caller's node, which keeps its
// comment unless the reader read one.
void MoveInto(XmlNode* node, XmlNode* made) {
  node->name = std::move(made->name);
  node->value = std::move(made->value);
  if (made->notes != nullptr && made->notes->comment) {
    NodeSetComment(node, std::move(made->notes->comment));
  }
  Adopt(node, made->firstAttribute, &node->firstAttribute);
  Adopt(node, made->firstChild, &node->firstChild);
  made->firstAttribute = nullptr;
  made->firstChild = nullptr;
  NodeFree(made);
}

constexpr size_t kMaxPrefix = 3;

}  // namespace

int XmlParseComment(XmlNode* node, const char16_t** cursor) {
  if (node == nullptr || cursor == nullptr || *cursor == nullptr) return kParseSyntaxError;
  Parser<char16_t> parser(*cursor, *cursor + std::char_traits<char16_t>::length(*cursor));
  XmlText comment;
  const int result = parser.Comment(&comment);
  *cursor = parser.cursor();
  if (result == kParseRead) NodeSetComment(node, std::move(comment));
  return result;
}

int XmlParseNode(XmlNode* node, const char16_t** cursor) {
  if (node == nullptr || cursor == nullptr || *cursor == nullptr) return kParseSyntaxError;
  Parser<char16_t> parser(*cursor, *cursor + std::char_traits<char16_t>::length(*cursor));
  XmlNode* made = nullptr;
  XmlText comment;
  const int result = parser.Node(&comment, 1, &made);
  *cursor = parser.cursor();
  if (result == kParseRead) {
    MoveInto(node, made);
  } else if (comment) {
    // A comment read before the node failed replaces the node's all the same.
    NodeSetComment(node, std::move(comment));
  }
  return result;
}

XmlNode* XmlParse(const char* bytes, size_t length) {
  if (bytes == nullptr) return nullptr;
  const char* lt =
      static_cast<const char*>(std::memchr(bytes, '<', std::min(length, kMaxPrefix + 1)));
  if (lt == nullptr) return nullptr;
  // A zero byte marks a file cut short by a failed write, never text.
  if (std::memchr(bytes, 0, length) != nullptr) return nullptr;
  char16_t prefix[kMaxPrefix + 1];
  const size_t prefixUnits = Utf8ToUtf16(bytes, static_cast<size_t>(lt - bytes), prefix);
  if (prefixUnits == kInvalidText) return nullptr;
  prefix[prefixUnits] = 0;

  Parser<char> parser(lt, bytes + length);
  XmlNode* first = nullptr;
  XmlNode* last = nullptr;
  for (;;) {
    XmlText comment;
    XmlNode* node;
    const int result = parser.Node(&comment, 1, &node);
    if (result == kParseRead) {
      node->previous = last;
      (last != nullptr ? last->next : first) = node;
      last = node;
      continue;
    }
    // A declaration or a comment alone is what a document cut short leaves.
    if (result == kParseNothing && DocumentHasElement(first)) break;
    NodeFree(first);
    return nullptr;
  }
  XmlDocument document(first);
  NodeSetPrefix(document.get(), std::u16string_view(prefix, prefixUnits));
  return document.release();
}

}  // namespace vk::xml
