#include "xml/writer.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "xml/utf8.h"

namespace vk::xml {
namespace {

using namespace std::string_view_literals;

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// A CDATA section as the parser reads it, written back in its own form. An
// element of that name that has attributes or children, no value, or a "]"
// in its value could not have come from a section and stays an element.
bool IsCdataSection(const XmlNode* node) {
  return node->name.view() == u"CDATA"sv && node->value && node->firstAttribute == nullptr &&
         node->firstChild == nullptr && node->value.view().find(u']') == std::u16string_view::npos;
}

// UTF-16 output through a buffer of its own, so that the stream sees a few
// large writes. Every piece is written whole, however long. After the first
// failed write nothing more is written and the error stays.
class Writer {
 public:
  explicit Writer(std::FILE* stream) : stream_(stream), buffer_(new char16_t[kBufferUnits]) {}

  // Flushes the buffer; 0, or the stream's error indicator (-1 if it has none).
  int Flush() {
    if (error_ == 0 && used_ > 0) Write(buffer_.get(), used_);
    used_ = 0;
    return error_;
  }

  bool failed() const { return error_ != 0; }
  size_t bytesWritten() const { return bytesWritten_; }

  // kNoComment, or 0 when written; `atStart` leaves out the leading line break.
  int Comment(const XmlNode* node, bool atStart) {
    const std::u16string_view text = node->comment.view();
    if (text.empty()) return kNoComment;
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
    if (Comment(node, atStart) == 0) atStart = false;
    const std::u16string_view name = node->name.view();
    if (IsCdataSection(node)) {
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
};

// Appends the prefix as UTF-8, as far as it fits in the three bytes that the
// parser accepts in front of the first "<"; only a prefix read from invalid
// UTF-8 (each bad byte became U+FFFD) is longer, and it must not make the
// saved document unreadable.
void AppendPrefix(const char16_t* prefix, std::string* bytes) {
  constexpr size_t kMaxPrefixBytes = 3;
  char encoded[4 * 3];
  size_t kept = 0;
  for (size_t units = 1; units <= 3 && prefix[units - 1] != 0; ++units) {
    if (Utf16ToUtf8(prefix, units, encoded) <= kMaxPrefixBytes) kept = units;
  }
  bytes->append(encoded, Utf16ToUtf8(prefix, kept, encoded));
}

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
  return writer.Flush();
}

int XmlSerialize(std::FILE* scratch, const XmlNode* first, std::string* bytes) {
  bytes->clear();
  if (first == nullptr) return kSerializeFailed;
  Writer writer(scratch);
  // The first node starts at once, behind the prefix: a line break there would
  // stand before the first "<" when read back, and pile up with every save.
  for (const XmlNode* node = first; node != nullptr && !writer.failed(); node = node->next) {
    writer.Tree(node, 0, node == first);
  }
  const int result = writer.Flush();
  const size_t written = writer.bytesWritten();
  std::rewind(scratch);
  if (result != 0) return result;

  bytes->reserve(3 + written / sizeof(char16_t) * 3 + 1);
  AppendPrefix(first->prefix, bytes);
  const size_t prefixSize = bytes->size();
  if (!AppendReadBack(scratch, written, bytes)) {
    bytes->resize(prefixSize);
    return kSerializeFailed;
  }
  return 0;
}

}  // namespace vk::xml
