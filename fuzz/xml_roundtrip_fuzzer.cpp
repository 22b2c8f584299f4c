// Reads any bytes. Whatever reads as a document must be valid UTF-8 without a
// zero byte, be well formed, read the same through the UTF-16 entry points,
// save, read back to the same tree, and save again to the same bytes. The
// bytes, taken as UTF-16 units, are also put into each place of a small tree
// that an edit can change, escaped too: the writer either refuses the tree or
// writes one that reads back with the text in place.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "tests/xml/tree_compare.h"
#include "xml/escape.h"
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

std::FILE* Scratch() {
  static std::FILE* const scratch = std::tmpfile();
  Check(scratch != nullptr, "no scratch file");
  std::rewind(scratch);
  return scratch;
}

std::string Save(const XmlNode* first) {
  std::string bytes;
  Check(vk::xml::XmlSerialize(Scratch(), first, &bytes) == 0, "save failed");
  return bytes;
}

XmlDocument Parse(std::string_view bytes) {
  return XmlDocument(vk::xml::XmlParse(bytes.data(), bytes.size()));
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
      const bool document =
          result == vk::xml::kParseNothing && vk::xml::DocumentHasElement(first.get());
      return document ? std::move(first) : XmlDocument();
    }
    if (last == nullptr) {
      first.reset(node);
    } else if (!vk::xml::NodeInsertAfter(last, node)) {
      std::abort();
    }
    last = node;
  }
}

void CheckReading(const char* bytes, size_t size, const XmlDocument& doc) {
  std::u16string all(size, u'\0');
  const bool text = vk::xml::Utf8ToUtf16(bytes, size, all.data()) != vk::xml::kInvalidText &&
                    std::memchr(bytes, 0, size) == nullptr;
  Check(doc == nullptr || text, "a document reads from bytes that are not UTF-8 text");

  const void* lt = std::memchr(bytes, '<', size < 4 ? size : 4);
  if (lt == nullptr || !text) return;
  const size_t offset = static_cast<const char*>(lt) - bytes;
  std::u16string wideText(size - offset, u'\0');
  wideText.resize(vk::xml::Utf8ToUtf16(bytes + offset, size - offset, wideText.data()));
  XmlDocument wide = ParseWide(wideText);
  Check((doc != nullptr) == (wide != nullptr), "UTF-16 reading disagrees on success");
  if (doc != nullptr) {
    const std::string difference = vk::xml::test::DescribeTreeDifference(
        doc.get(), wide.get(), vk::xml::test::CommentRule::kExact);
    Check(difference.empty(), "UTF-16 reading differs:", difference);
  }
}

void CheckRoundTrip(const XmlDocument& doc) {
  Check(vk::xml::NodeCheckTree(doc.get()), "tree not well formed");
  const std::string saved = Save(doc.get());
  XmlDocument again = Parse(saved);
  Check(again != nullptr, "saved document does not read back");
  Check(vk::xml::test::DescribeRoundTripDifference(doc.get(), again.get()).empty(),
        "round trip differs:", vk::xml::test::DescribeRoundTripDifference(doc.get(), again.get()));
  Check(Save(again.get()) == saved, "second save differs");
}

// The places of a tree that an edit can fill with any text, and the two that
// take text from outside any document in its escaped form.
enum Place {
  kName,
  kAttributeName,
  kAttributeValue,
  kValue,
  kComment,
  kCdata,
  kPrefix,
  kEscapedAttributeValue,
  kEscapedValue,
  kPlaces
};

void CheckEditedTrees(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(char16_t));
  text.resize(std::u16string_view(text.c_str()).size());  // a model text ends at a zero
  for (int place = 0; place < kPlaces; ++place) {
    XmlDocument doc = Parse("<?xml version=\"1.0\"?><r a=\"1\"><t>x</t><c/></r>");
    XmlNode* root = doc->next;
    XmlNode* t = root->firstChild;
    bool ok = true;
    switch (place) {
      case kName:
        ok = vk::xml::NodeSetName(t, text.c_str());
        break;
      case kAttributeName:
        ok = vk::xml::NodeSetAttribute(root, text.c_str(), u"1") != nullptr;
        break;
      case kAttributeValue:
        ok = vk::xml::NodeSetAttribute(root, u"a", text.c_str()) != nullptr;
        break;
      case kValue:
        ok = vk::xml::NodeSetValue(t, text.c_str());
        break;
      case kComment:
        vk::xml::NodeSetComment(t->next, vk::xml::XmlText(text.c_str()));
        break;
      case kCdata:
        ok = vk::xml::NodeAppendChild(root, vk::xml::NodeNew(u"CDATA", text.c_str()));
        break;
      case kPrefix:
        vk::xml::NodeSetPrefix(doc.get(), text);
        break;
      case kEscapedAttributeValue:
        ok = vk::xml::NodeSetAttribute(root, u"a", vk::xml::EscapeXmlText(text).c_str()) != nullptr;
        break;
      case kEscapedValue:
        ok = vk::xml::NodeSetValue(t, vk::xml::EscapeXmlText(text).c_str());
        break;
    }
    Check(ok, "edit failed");
    std::string bytes;
    if (vk::xml::XmlSerialize(Scratch(), doc.get(), &bytes) != 0) continue;
    XmlDocument again = Parse(bytes);
    Check(again != nullptr, "an edited tree was written but does not read back:", bytes);
    // Text content loses leading whitespace, and empty text is no value.
    const bool valueKept = !text.empty() && !vk::xml::test::IsXmlSpace(text.front());
    if ((place == kValue || place == kCdata || place == kEscapedValue) && !valueKept) continue;
    Check(vk::xml::test::DescribeRoundTripDifference(doc.get(), again.get()).empty(),
          "an edited tree reads back otherwise:",
          vk::xml::test::DescribeRoundTripDifference(doc.get(), again.get()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  XmlDocument doc(vk::xml::XmlParse(bytes, size));
  CheckReading(bytes, size, doc);
  if (doc != nullptr) CheckRoundTrip(doc);
  CheckEditedTrees(data, size);
  return 0;
}
