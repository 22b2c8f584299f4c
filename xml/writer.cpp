#include "xml/writer.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "xml/parser.h"
#include "xml/utf8.h"

namespace vk::xml {
namespace {

using namespace std::string_view_literals;

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Units below 64 as bits of a mask: every delimiter that the reader looks
// for lies there, so a text is checked with one test per unit.
constexpr uint64_t MaskOf(std::u16string_view units) {
  uint64_t mask = 0;
  for (const char16_t unit : units) mask |= uint64_t{1} << unit;
  return mask;
}

// What ends a tag or attribute name when it is read.
constexpr uint64_t kNameEnds = MaskOf(u" \t\r\n/>=");
constexpr uint64_t kValueEnds = MaskOf(u"<");
constexpr uint64_t kAttributeValueEnds = MaskOf(u"\"");

// True when the text holds none of `ends` and no unpaired surrogate, so that
// it reads back as written between its delimiters.
bool ReadsBack(std::u16string_view text, uint64_t ends) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 64) {
      if (((ends >> unit) & 1) != 0) return false;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      if (unit > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
        return false;
      }
      ++i;
    }
  }
  return true;
}

bool CommentReadsBack(std::u16string_view text) {
  return text.find(u"-->"sv) == std::u16string_view::npos && IsUtf16(text);
}

// True when the node's tag, attributes and value read back as written. The
// model keeps text verbatim, so an edit can put a delimiter into a value; and
// a name starting with "!" would read as a markup declaration. (A node named
// "CDATA" whose value holds "]" is written as an element, which reads back as
// the same node as long as its value reads back.)
bool TagReadsBack(const XmlNode* node) {
  if (NodeIsCdataSection(node)) return IsUtf16(node->value.view());
  const std::u16string_view name = node->name.view();
  if (!ReadsBack(name, kNameEnds) || name.starts_with(u'!')) return false;
  for (const XmlNode* attribute = node->firstAttribute; attribute != nullptr;
       attribute = attribute->next) {
    if (!ReadsBack(attribute->name.view(), kNameEnds) ||
        !ReadsBack(attribute->value.view(), kAttributeValueEnds)) {
      return false;
    }
  }
  return ReadsBack(node->value.view(), kValueEnds);
}

// The prefix as UTF-8 into `encoded`; false when it would not read back: the
// reader takes at most three bytes, none of them "<", before the first "<".
bool EncodePrefix(const char16_t* prefix, std::string* encoded) {
  const std::u16string_view text(prefix);
  char bytes[3 * 4];
  encoded->assign(bytes, Utf16ToUtf8(text.data(), text.size(), bytes));
  return encoded->size() <= 3 && ReadsBack(text, kValueEnds);
}

// UTF-16 output through a buffer of its own, so that the stream sees a few
// large writes. Every piece is written whole, however long. After the first
// failed write nothing more is written and the error stays. A node that would
// not read back as written, or nests deeper than the reader accepts, is
// refused: the writing stops there.
class Writer {
 public:
  explicit Writer(std::FILE* stream) : stream_(stream), buffer_(new char16_t[kBufferUnits]) {}

  // Flushes the buffer; 0, or the stream's error indicator (-1 if it has none).
  int Flush() {
    if (error_ == 0 && used_ > 0) Write(buffer_.get(), used_);
    used_ = 0;
    return error_;
  }

  bool failed() const { return error_ != 0 || refused_; }
  bool refused() const { return refused_; }
  size_t bytesWritten() const { return bytesWritten_; }

  // kNoComment, kWriteRefused, or 0 when written; `atStart` leaves out the
  // leading line break.
  int Comment(const XmlNode* node, bool atStart) {
    const std::u16string_view text = NodeComment(node).view();
    if (text.empty()) return kNoComment;
    if (!CommentReadsBack(text)) {
      refused_ = true;
      return kWriteRefused;
    }
    Put(atStart ? u"<!--"sv : u"\r\n<!--"sv, IsSpace(text.front()) ? u""sv : u"\r\n"sv, text,
        IsSpace(text.back()) ? u""sv : u"\r\n"sv, u"-->"sv);
    return 0;
  }

  // The node and its subtree at `depth`. Iterative, with a stack of the open
  // elements, so that neither depth nor a long chain exhausts the program's stack.
  void Tree(const XmlNode* root, int depth, bool atStart) {
    std::vector<const XmlNode*> open;
    const XmlNode* node = root;
    for (;;) {
      if (open.size() >= static_cast<size_t>(kMaxElementDepth)) {
        refused_ = true;
        return;
      }
      const size_t level = depth + open.size();
      if (Head(node, level, atStart && node == root)) {
        open.push_back(node);
        node = node->firstChild;
        continue;
      }
      for (;;) {
        if (open.empty() || failed()) return;
        if (node->next != nullptr) {
          node = node->next;
          break;
        }
        node = open.back();
        open.pop_back();
        LineStart(true, depth + open.size());
        Put(u"</"sv, node->name.view(), u">"sv);
      }
    }
  }

 private:
  static constexpr size_t kBufferUnits = 32768;

  // The comment and the node up to its children; true when they follow.
  bool Head(const XmlNode* node, size_t level, bool atStart) {
    const int comment = Comment(node, atStart);
    if (comment == kWriteRefused) return false;
    if (comment == 0) atStart = false;
    if (!TagReadsBack(node)) {
      refused_ = true;
      return false;
    }
    const std::u16string_view name = node->name.view();
    if (NodeIsCdataSection(node)) {
      LineStart(!atStart, level);
      Put(u"<![CDATA["sv, node->value.view(), u"]]>"sv);
      return false;
    }
    const bool declaration = !name.empty() && name.front() == u'?';
    LineStart(!declaration && !atStart, level);
    Put(u"<"sv, name);
    for (const XmlNode* attribute = node->firstAttribute; attribute != nullptr;
         attribute = attribute->next) {
      Put(u" "sv, attribute->name.view(), u"=\""sv, attribute->value.view(), u"\""sv);
    }
    if (!node->value && node->firstChild == nullptr) {
      // "?>" needs an attribute in front of it to be read back.
      Put(declaration && node->firstAttribute != nullptr ? u"?>"sv : u" />"sv);
      return false;
    }
    if (!node->value) {
      Put(node->firstAttribute != nullptr ? u" >"sv : u">"sv);
      return true;
    }
    Put(node->firstAttribute != nullptr ? u" >"sv : u">"sv, node->value.view(), u"</"sv, name,
        u">"sv);
    return false;
  }

  // An optional line feed and two blanks per level.
  void LineStart(bool lineFeed, size_t level) {
    static constexpr std::u16string_view kBlanks = u"                                ";
    size_t blanks = 2 * level;
    size_t now = std::min(blanks, kBlanks.size());
    Put(lineFeed ? u"\n"sv : u""sv, kBlanks.substr(0, now));
    for (blanks -= now; blanks > 0; blanks -= now) {
      now = std::min(blanks, kBlanks.size());
      Put(kBlanks.substr(0, now));
    }
  }

  // Writes the pieces one after another; pieces that fit into the buffer
  // together are copied there in one go, longer ones are written whole.
  template <typename... Pieces>
  void Put(Pieces... pieces) {
    const size_t total = (pieces.size() + ...);
    if (total > kBufferUnits - used_) {
      Flush();
      if (total > kBufferUnits) {
        (PutWhole(pieces), ...);
        return;
      }
    }
    char16_t* out = buffer_.get() + used_;
    ((out = std::copy(pieces.begin(), pieces.end(), out)), ...);
    used_ += total;
  }

  void PutWhole(std::u16string_view piece) {
    if (piece.size() <= kBufferUnits) {
      Put(piece);
    } else if (Flush() == 0) {
      Write(piece.data(), piece.size());
    }
  }

  void Write(const char16_t* units, size_t count) {
    if (std::fwrite(units, sizeof(char16_t), count, stream_) == count) {
      bytesWritten_ += count * sizeof(char16_t);
      return;
    }
    error_ = std::ferror(stream_) != 0 ? std::ferror(stream_) : -1;
  }

  std::FILE* stream_;
  std::unique_ptr<char16_t[]> buffer_;
  size_t used_ = 0;
  size_t bytesWritten_ = 0;
  int error_ = 0;
  bool refused_ = false;
};

// Reads `size` bytes of UTF-16 back from the stream and appends them as UTF-8.
bool AppendReadBack(std::FILE* stream, size_t size, std::string* bytes) {
  constexpr size_t kChunkUnits = 16384;
  auto units = std::make_unique<char16_t[]>(kChunkUnits + 1);
  auto encoded = std::make_unique<char[]>(3 * (kChunkUnits + 1));
  size_t remaining = size / sizeof(char16_t);
  size_t carried = 0;  // a high surrogate held back to meet its partner
  while (remaining > 0) {
    const size_t want = std::min(remaining, kChunkUnits);
    if (std::fread(units.get() + carried, sizeof(char16_t), want, stream) != want) return false;
    remaining -= want;
    size_t count = carried + want;
    const char16_t last = units[count - 1];
    carried = remaining > 0 && last >= 0xD800 && last <= 0xDBFF ? 1 : 0;
    count -= carried;
    bytes->append(encoded.get(), Utf16ToUtf8(units.get(), count, encoded.get()));
    if (carried != 0) units[0] = last;
  }
  return true;
}

}  // namespace

int XmlWriteComment(const XmlNode* node, std::FILE* stream) {
  if (node == nullptr) return kNoComment;
  Writer writer(stream);
  const int result = writer.Comment(node, false);
  const int error = writer.Flush();
  return error != 0 ? error : result;
}

int XmlWriteNode(const XmlNode* node, std::FILE* stream, int depth) {
  if (node == nullptr) return 0;
  Writer writer(stream);
  writer.Tree(node, std::max(depth, 0), false);
  const int error = writer.Flush();
  return writer.refused() ? kWriteRefused : error;
}

int XmlSerialize(std::FILE* scratch, const XmlNode* first, std::string* bytes) {
  bytes->clear();
  // What cannot be read back fails here, so that a save never replaces a
  // file by one that does not open.
  std::string prefix;
  if (first == nullptr || !DocumentHasElement(first) || !EncodePrefix(NodePrefix(first), &prefix)) {
    return kSerializeFailed;
  }
  Writer writer(scratch);
  // The first node starts at once, behind the prefix: a line break there would
  // stand before the first "<" when read back, and pile up with every save.
  for (const XmlNode* node = first; node != nullptr && !writer.failed(); node = node->next) {
    writer.Tree(node, 0, node == first);
  }
  const int result = writer.Flush();
  const size_t written = writer.bytesWritten();
  std::rewind(scratch);
  if (writer.refused()) return kSerializeFailed;
  if (result != 0) return result;

  *bytes = std::move(prefix);
  const size_t prefixSize = bytes->size();
  bytes->reserve(prefixSize + written / sizeof(char16_t) * 3 + 1);
  if (!AppendReadBack(scratch, written, bytes)) {
    bytes->resize(prefixSize);
    return kSerializeFailed;
  }
  return 0;
}

}  // namespace vk::xml
