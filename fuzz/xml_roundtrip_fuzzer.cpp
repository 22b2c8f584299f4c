// Reads any bytes. Whatever reads as a document must be well formed, read the
// same through the UTF-16 entry points, save, read back to the same tree, and
// save again to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/xml/tree_compare.h"
#include "xml/node.h"
#include "xml/parser.h"
#include "xml/utf8.h"
#include "xml/writer.h"

namespace {

using vk::xml::XmlDocument;
using vk::xml::XmlNode;

void Check(bool ok, const char* what, const std::string& detail = "") {
  if (ok) return;
  std::fprintf(stderr, "%s %s\n", what, detail.c_str());
  std::abort();
}

std::string Save(const XmlNode* first) {
  static std::FILE* const scratch = std::tmpfile();
  Check(scratch != nullptr, "no scratch file");
  std::rewind(scratch);
  std::string bytes;
  Check(vk::xml::XmlSerialize(scratch, first, &bytes) == 0, "save failed");
  return bytes;
}

// The document read node by node through XmlParseNode from UTF-16 text.
XmlDocument ParseWide(const std::u16string& text) {
  const char16_t* cursor = text.c_str();
  XmlDocument first;
  XmlNode* last = nullptr;
  for (;;) {
    XmlNode* node = vk::xml::NodeNew(nullptr, nullptr);
    const int result = vk::xml::XmlParseNode(node, &cursor);
    if (result != vk::xml::kParseRead) {
      vk::xml::NodeFree(node);
      return result == vk::xml::kParseNothing ? std::move(first) : XmlDocument();
    }
    if (last == nullptr) {
      first.reset(node);
    } else if (!vk::xml::NodeInsertAfter(last, node)) {
      std::abort();
    }
    last = node;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  XmlDocument doc(vk::xml::XmlParse(bytes, size));

  const void* lt = std::memchr(bytes, '<', size < 4 ? size : 4);
  if (lt != nullptr) {
    const size_t offset = static_cast<const char*>(lt) - bytes;
    std::u16string text(size - offset, u'\0');
    text.resize(vk::xml::Utf8ToUtf16(bytes + offset, size - offset, text.data()));
    XmlDocument wide = ParseWide(text);
    Check((doc != nullptr) == (wide != nullptr), "UTF-16 reading disagrees on success");
    if (doc != nullptr) {
      const std::string difference = vk::xml::test::DescribeTreeDifference(
          doc.get(), wide.get(), vk::xml::test::CommentRule::kExact);
      Check(difference.empty(), "UTF-16 reading differs:", difference);
    }
  }
  if (!doc) return 0;

  Check(vk::xml::NodeCheckTree(doc.get()), "tree not well formed");
  const std::string saved = Save(doc.get());
  XmlDocument again(vk::xml::XmlParse(saved.data(), saved.size()));
  Check(again != nullptr, "saved document does not read back");
  Check(vk::xml::test::DescribeRoundTripDifference(doc.get(), again.get()).empty(),
        "round trip differs:", vk::xml::test::DescribeRoundTripDifference(doc.get(), again.get()));
  Check(Save(again.get()) == saved, "second save differs");
  return 0;
}
