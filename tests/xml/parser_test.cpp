#include "xml/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/xml/xml_test_support.h"

namespace vk::xml {
namespace {

using test::Parse;
using namespace std::string_literals;

TEST(XmlParserTest, WhatStandsBeforeTheFirstTagBecomesThePrefix) {
  XmlDocument bom = Parse("\xEF\xBB\xBF<?xml version=\"1.0\"?><r/>");
  ASSERT_TRUE(bom);
  EXPECT_EQ(std::u16string_view(NodePrefix(bom.get())), u"\uFEFF");
  EXPECT_EQ(bom->name.view(), u"?xml");
  EXPECT_EQ(bom->next->name.view(), u"r");
  EXPECT_EQ(NodePrefix(bom->next)[0], 0);

  XmlDocument blanks = Parse("\n \t<r/>");
  ASSERT_TRUE(blanks);
  EXPECT_EQ(std::u16string_view(NodePrefix(blanks.get())), u"\n \t");
  EXPECT_TRUE(Parse("\xC3\xA9x<r/>"));

  EXPECT_FALSE(Parse("    <r/>")) << "first < at position 4";
  EXPECT_FALSE(Parse("\xEF\xBB\xBF <r/>"));
  EXPECT_FALSE(Parse("r/>"));
  EXPECT_FALSE(Parse(""));
  EXPECT_FALSE(Parse(" "));
}

TEST(XmlParserTest, DocumentIsTheChainOfTopLevelNodes) {
  XmlDocument doc =
      Parse("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<a/><b></b>\r\n<!-- end -->\n");
  ASSERT_TRUE(doc);
  XmlNode* declaration = doc.get();
  EXPECT_EQ(declaration->firstAttribute->name.view(), u"version");
  EXPECT_EQ(declaration->firstAttribute->next->value.view(), u"utf-8");
  ASSERT_NE(declaration->next, nullptr);
  EXPECT_EQ(declaration->next->name.view(), u"a");
  ASSERT_NE(declaration->next->next, nullptr);
  EXPECT_EQ(declaration->next->next->name.view(), u"b");
  EXPECT_EQ(declaration->next->next->next, nullptr) << "the comment after the last node is dropped";
  for (XmlNode* node = doc.get(); node != nullptr; node = node->next)
    EXPECT_EQ(node->parent, nullptr);
  EXPECT_TRUE(NodeCheckTree(doc.get()));

  EXPECT_FALSE(Parse("<!-- only a comment -->"));
  EXPECT_FALSE(Parse("<r/>text"));
  EXPECT_FALSE(Parse("<r/><!-- a --><!-- b -->")) << "two comments in a row at the top level";
}

TEST(XmlParserTest, ElementHoldsTextOrChildrenVerbatim) {
  XmlDocument doc = Parse(
      "<r><e>  a  </e><empty></empty><blank> \r\n </blank>"
      "<ref k=\"&amp;&#xD;&lt;\">&gt; &amp; x\rY\n</ref></r>");
  ASSERT_TRUE(doc);
  XmlNode* e = doc->firstChild;
  EXPECT_EQ(e->value.view(), u"a  ") << "leading whitespace dropped, trailing kept";
  XmlNode* empty = e->next;
  EXPECT_FALSE(empty->value);
  EXPECT_EQ(empty->firstChild, nullptr);
  EXPECT_FALSE(empty->next->value);
  XmlNode* ref = empty->next->next;
  EXPECT_EQ(ref->firstAttribute->value.view(), u"&amp;&#xD;&lt;");
  EXPECT_EQ(ref->value.view(), u"&gt; &amp; x\rY\n");
  EXPECT_EQ(ref->parent, doc.get());
  EXPECT_TRUE(NodeCheckTree(doc.get()));
}

TEST(XmlParserTest, CommentsAndCdataAttachWhereTheyStand) {
  XmlDocument doc = Parse(
      "<!--top--><r><!--first--><!--second--><c/>"
      "<![CDATA[<b>&x;</b>]]><!----><d/></r>");
  ASSERT_TRUE(doc);
  EXPECT_EQ(NodeComment(doc.get()).view(), u"top");
  XmlNode* c = doc->firstChild;
  EXPECT_EQ(NodeComment(c).view(), u"second");
  XmlNode* cdata = c->next;
  EXPECT_EQ(cdata->name.view(), u"CDATA");
  EXPECT_EQ(cdata->value.view(), u"<b>&x;</b>");
  EXPECT_EQ(cdata->parent, doc.get());
  ASSERT_TRUE(NodeComment(cdata->next));
  EXPECT_EQ(NodeComment(cdata->next).view(), u"");
  EXPECT_EQ(cdata->next->name.view(), u"d");
}

TEST(XmlParserTest, DeclarationEndsAfterAnAttributeOnly) {
  EXPECT_TRUE(Parse("<?xml version=\"1.0\"?><r/>"));
  EXPECT_FALSE(Parse("<?xml?><r/>"));
  EXPECT_FALSE(Parse("<?xml ?><r/>"));
  EXPECT_FALSE(Parse("<!DOCTYPE Profile><Profile/>"));
}

TEST(XmlParserTest, AttributesNeedEqualsAndDoubleQuotes) {
  XmlDocument doc = Parse("<r a = \"1\"b=\"\"\tc=\"x'y\" />");
  ASSERT_TRUE(doc);
  const XmlNode* a = doc->firstAttribute;
  EXPECT_EQ(a->name.view(), u"a");
  EXPECT_EQ(a->value.view(), u"1");
  EXPECT_EQ(a->next->name.view(), u"b");
  ASSERT_TRUE(a->next->value);
  EXPECT_EQ(a->next->value.view(), u"");
  EXPECT_EQ(a->next->next->value.view(), u"x'y");
  EXPECT_EQ(a->next->next->parent, doc.get());
}

// One case per kind of failure the reader knows; each must give no document.
TEST(XmlParserTest, EveryFailureGivesNoDocument) {
  const char* const failures[] = {
      "<r>",                     // end of text inside an element
      "<r",                      // name runs into the end
      "<r a=\"1\"",              // end of text after an attribute
      "<a=b/>",                  // "=" inside a name
      "<r >x</r>",               // blank before ">" without attribute
      "<r a/>x",                 // text after the root
      "<r a=\"1\" b></r>",       // attribute without "="
      "<r a></r>",               // attribute without "=" before ">"
      "<r a=1/>",                // value without quotes
      "<r a='1'/>",              // single quotes
      "<r a=\"1/>",              // unterminated value
      "<r>text<c/></r>",         // text followed by an element
      "<r>text",                 // text running into the end
      "<r><c/>text</r>",         // text after a child
      "<r></R>",                 // closing tag in another letter case
      "<r></r >",                // something between name and ">"
      "<r></x>",                 // wrong closing tag
      "<r><![CDATA[a]b]]></r>",  // "]" inside a CDATA section
      "<r><![CDATA[ab]]</r>",    // CDATA without "]]>"
      "<r><!-- c --></r>",       // comment in front of a closing tag
      "<!-- open <r/>",          // comment without end
      "<r><!-- open </r>",       // comment without end inside an element
      "<r><c></r>",              // child not closed
      "<r/>&",                   // character after the last node
      "<!DOCTYPE></!DOCTYPE>",   // a markup declaration
      "<!----><!--x/>",          // a declaration-like name behind a comment
  };
  for (const char* text : failures) EXPECT_FALSE(Parse(text)) << text;
}

TEST(XmlParserTest, NestingDeeperThanTheLimitFailsCleanly) {
  auto nested = [](int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += "<e>";
    for (int i = 0; i < levels; ++i) text += "</e>";
    return text;
  };
  XmlDocument deepest = Parse(nested(kMaxElementDepth));
  ASSERT_TRUE(deepest);
  EXPECT_TRUE(NodeCheckTree(deepest.get()));
  EXPECT_FALSE(Parse(nested(kMaxElementDepth + 1)));
  EXPECT_FALSE(Parse(nested(100000)));
}

// A save writes back what was read, so text that would not convert exactly,
// or a document cut short (no element, a zero byte), gives no document.
TEST(XmlParserTest, TextThatIsNotUtf8OrIsCutShortGivesNoDocument) {
  XmlDocument doc = Parse("<r a=\"\xC5\xBElu\xC5\xA5\">\xF0\x9F\x98\x80</r>");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->firstAttribute->value.view(), u"\u017Elu\u0165");
  EXPECT_EQ(doc->value.view(), u"\U0001F600");

  const std::string failures[] = {
      "<r>caf\xE9</r>",           // a Windows-1250 letter
      "<r a=\"\xC0\xAF\"/>",      // an overlong form
      "<r>\xED\xA0\x80</r>",      // an encoded surrogate
      "<r>\xF4\x90\x80\x80</r>",  // beyond U+10FFFF
      "<r>\xE2\x82</r>",          // a sequence cut short
      "<r\x80/>",                 // a stray continuation byte in a name
      "<r \xFF/>",                // in a lone name before "/>", which is passed over
      "<r><!--\xFF--><c/></r>",   // in a comment
      "<r/><!--\xFF-->",          // in the comment after the root
      "\xFF<r/>",                 // in the prefix
      "\xFF\xFE<\0r\0/\0>\0"s,    // UTF-16, which is not detected
      "<?xml version=\"1.0\"?>",  // a part of 715 bytes cut to 21
      "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- Do not edit -->",
      "<?pi /><![CDATA[x]]>",  // neither is an element
      "<r/>\0garbage"s,
      "<r>\0</r>"s,
      "<r/>\0"s,
  };
  for (const std::string& text : failures) {
    EXPECT_FALSE(Parse(text)) << ::testing::PrintToString(text);
  }

  // The UTF-16 entry points hold their text to the same rule.
  XmlNode node;
  const char16_t unpaired[] = {u'<', u'r', u'>', 0xD800, u'<', u'/', u'r', u'>', 0};
  const char16_t* cursor = unpaired;
  EXPECT_EQ(XmlParseNode(&node, &cursor), kParseSyntaxError);
  const char16_t comment[] = {u'<', u'!', u'-', u'-', 0xDC00, u'-', u'-', u'>', 0};
  cursor = comment;
  EXPECT_EQ(XmlParseComment(&node, &cursor), kParseSyntaxError);
  EXPECT_FALSE(NodeComment(&node));
  cursor = u"<r>\U0001F600</r>";
  EXPECT_EQ(XmlParseNode(&node, &cursor), kParseRead);
}

TEST(XmlParserTest, NodeAndCommentReportWhatTheyFound) {
  XmlNode node;
  const char16_t* cursor = u"  ";
  EXPECT_EQ(XmlParseNode(&node, &cursor), kParseNothing);
  cursor = u" x";
  EXPECT_EQ(XmlParseNode(&node, &cursor), kParseSyntaxError);

  const char16_t* text = u" \n<a/> rest";
  cursor = text;
  EXPECT_EQ(XmlParseComment(&node, &cursor), kParseNothing);
  EXPECT_EQ(cursor, text + 2) << "only the whitespace is consumed";
  EXPECT_EQ(XmlParseNode(&node, &cursor), kParseRead);
  EXPECT_EQ(std::u16string_view(cursor), u" rest");
  EXPECT_EQ(node.name.view(), u"a");

  cursor = u"<!-- a -- b --> tail";
  EXPECT_EQ(XmlParseComment(&node, &cursor), kParseRead);
  EXPECT_EQ(NodeComment(&node).view(), u" a -- b ");
  EXPECT_EQ(std::u16string_view(cursor), u" tail");
  cursor = u"<!-- open";
  EXPECT_EQ(XmlParseComment(&node, &cursor), kParseSyntaxError);
}

TEST(XmlParserTest, WideElementKeepsItsChildrenInOrder) {
  std::string text = "<r>";
  for (int i = 0; i < 200000; ++i) text += "<c i=\"" + std::to_string(i) + "\"/>";
  text += "</r>";
  XmlDocument doc = Parse(text);
  ASSERT_TRUE(doc);
  int count = 0;
  const XmlNode* previous = nullptr;
  for (const XmlNode* child = doc->firstChild; child != nullptr; child = child->next, ++count) {
    ASSERT_EQ(child->previous, previous);
    previous = child;
  }
  EXPECT_EQ(count, 200000);
  EXPECT_EQ(previous->firstAttribute->value.view(), u"199999");
  EXPECT_TRUE(NodeCheckTree(doc.get()));
}

}  // namespace
}  // namespace vk::xml
