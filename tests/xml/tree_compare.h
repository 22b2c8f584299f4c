// Compares a document with the one read back after writing it: the same
// nodes, names, values and attributes, and each comment as the writer puts it
// (empty ones dropped, a line break added inside each delimiter that has no
// whitespace next to it). Used by the tests and by the round-trip fuzzer.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/node.h"

namespace vk::xml::test {

inline bool IsXmlSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The comment that reading back a written comment gives, or none.
inline XmlText CommentAfterWriting(const XmlText& comment) {
  if (comment.empty()) return {};
  std::u16string text(comment.view());
  if (!IsXmlSpace(text.front())) text.insert(0, u"\r\n");
  if (!IsXmlSpace(text.back())) text += u"\r\n";
  return XmlText(text.c_str());
}

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

inline bool SameText(const XmlText& a, const XmlText& b) {
  return static_cast<bool>(a) == static_cast<bool>(b) && a.view() == b.view();
}

enum class CommentRule { kExact, kAsWritten };

// "" when the chains starting at `first` and `second` hold the same trees,
// comments of `second` compared with those of `first` as `rule` says; otherwise
// where the first difference lies. Walks iteratively: documents may be deep or wide.
inline std::string DescribeTreeDifference(const XmlNode* first, const XmlNode* second,
                                          CommentRule rule) {
  std::vector<std::pair<const XmlNode*, const XmlNode*>> pending{{first, second}};
  while (!pending.empty()) {
    auto [a, b] = pending.back();
    pending.pop_back();
    for (; a != nullptr || b != nullptr; a = a->next, b = b->next) {
      if (a == nullptr || b == nullptr) return "chains differ in length";
      const std::string where = "node <" + Narrow(a->name.view()) + ">: ";
      if (!SameText(a->name, b->name)) return where + "name differs";
      if (!SameText(a->value, b->value)) return where + "value differs";
      const XmlText& comment = NodeComment(a);
      const XmlText written =
          rule == CommentRule::kAsWritten ? CommentAfterWriting(comment) : XmlText(comment.c_str());
      if (!SameText(written, NodeComment(b))) return where + "comment differs";
      const XmlNode* x = a->firstAttribute;
      const XmlNode* y = b->firstAttribute;
      for (; x != nullptr && y != nullptr; x = x->next, y = y->next) {
        if (!SameText(x->name, y->name) || x->value.view() != y->value.view()) {
          return where + "attribute " + Narrow(x->name.view()) + " differs";
        }
      }
      if (x != nullptr || y != nullptr) return where + "attribute count differs";
      if ((a->firstChild == nullptr) != (b->firstChild == nullptr)) {
        return where + "children differ";
      }
      if (a->firstChild != nullptr) pending.emplace_back(a->firstChild, b->firstChild);
    }
  }
  return "";
}

// "" when `reread` is what reading `written` back must give; otherwise where
// the first difference lies.
inline std::string DescribeRoundTripDifference(const XmlNode* written, const XmlNode* reread) {
  if (written == nullptr || reread == nullptr) {
    return written == reread ? "" : "one document is empty";
  }
  if (std::u16string_view(NodePrefix(written)) != std::u16string_view(NodePrefix(reread))) {
    return "prefix differs";
  }
  return DescribeTreeDifference(written, reread, CommentRule::kAsWritten);
}

}  // namespace vk::xml::test
