#include "xml/writer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/xml/tree_compare.h"
#include "tests/xml/xml_test_support.h"

namespace vk::xml {
namespace {

using test::Parse;
using test::Save;
using test::WrittenText;

// Parses, saves and checks that reading the result back gives the same tree.
std::string Resave(std::string_view text) {
  XmlDocument doc = Parse(text);
  EXPECT_TRUE(doc) << text;
  if (!doc) return {};
  std::string saved = Save(doc.get());
  XmlDocument again = Parse(saved);
  EXPECT_TRUE(again) << saved;
  EXPECT_EQ(test::DescribeRoundTripDifference(doc.get(), again.get()), "") << saved;
  return saved;
}

TEST(XmlWriterTest, WritesTheFixedLayout) {
  const std::string source =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<CustSection xmlns:xsi=\"x\">\r\n"
      "\t<Header><Empty/><Text>Auto\rConstrain &amp; </Text></Header>\r\n"
      "\t<Bare></Bare><Attr a=\"&#xD;\" b=\"\"><Inner/></Attr>\r\n"
      "</CustSection>\r\n";
  EXPECT_EQ(Resave(source),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<CustSection xmlns:xsi=\"x\" >\n"
            "  <Header>\n"
            "    <Empty />\n"
            "    <Text>Auto\rConstrain &amp; </Text>\n"
            "  </Header>\n"
            "  <Bare />\n"
            "  <Attr a=\"&#xD;\" b=\"\" >\n"
            "    <Inner />\n"
            "  </Attr>\n"
            "</CustSection>");
}

TEST(XmlWriterTest, CommentsStandOnLinesOfTheirOwn) {
  const std::string saved =
      Resave("<?xml version=\"1.0\"?><!--Do not edit--><r><!--\r\n x \r\n--><c/><d>v</d></r>");
  EXPECT_EQ(saved,
            "<?xml version=\"1.0\"?>\r\n<!--\r\nDo not edit\r\n-->\n<r>\r\n"
            "<!--\r\n x \r\n-->\n  <c />\n  <d>v</d>\n</r>");
  EXPECT_EQ(Resave(saved), saved) << "a comment read back gains nothing more";
}

// A document without a declaration starts at once with its first comment or
// tag, so a save adds nothing in front of the first "<".
TEST(XmlWriterTest, FirstNodeStartsDirectlyBehindThePrefix) {
  EXPECT_EQ(Resave("<Profile><a/></Profile>"), "<Profile>\n  <a />\n</Profile>");
  EXPECT_EQ(Resave("\n<!-- warn -->\n<MenuGroup/>"), "\n<!-- warn -->\n<MenuGroup />");
  EXPECT_EQ(Resave("\xEF\xBB\xBF<!--w--><?xml v=\"1\"?>\n<r/>"),
            "\xEF\xBB\xBF<!--\r\nw\r\n--><?xml v=\"1\"?>\n<r />");
}

TEST(XmlWriterTest, RepeatedSavesAreStableAndKeepOpening) {
  const char* const documents[] = {
      "<Profile><a x=\"1\">t</a></Profile>\n",
      "\xEF\xBB\xBF<Profile><a/></Profile>",
      "\n<!--\n  Do not edit\n-->\n<MenuGroup><Name>x</Name></MenuGroup>\n",
      "\xEF\xBB\xBF<!-- warn --><r/>",
      "\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- warn --><r/>",
      "<?xml version=\"1.0\"?>\r\n<r/>",
      "\t\t<r/>",
      "\xFF\xFE\xFD<r/>",  // invalid bytes in front: each becomes U+FFFD
  };
  for (const char* document : documents) {
    std::string saved = Resave(document);
    for (int round = 0; round < 3; ++round) EXPECT_EQ(Resave(saved), saved) << document;
  }
}

TEST(XmlWriterTest, CdataSectionsAndEmptyDeclarationsReadBackTheSame) {
  EXPECT_EQ(Resave("<r><![CDATA[<b>&amp;</b>]]><![CDATA[]]></r>"),
            "<r>\n  <![CDATA[<b>&amp;</b>]]>\n  <![CDATA[]]>\n</r>");
  EXPECT_EQ(Resave("<![CDATA[x]]>"), "<![CDATA[x]]>");
  // An element named CDATA that no section could give stays an element.
  EXPECT_EQ(Resave("<CDATA>a]b</CDATA><CDATA a=\"1\">x</CDATA><CDATA />"),
            "<CDATA>a]b</CDATA>\n<CDATA a=\"1\" >x</CDATA>\n<CDATA />");
  // "?>" is only read after an attribute.
  EXPECT_EQ(Resave("<r><?pi /><?pi x=\"1\"/></r>"), "<r>  <?pi />  <?pi x=\"1\"?>\n</r>");
}

TEST(XmlWriterTest, ModelOnlyShapesAreWrittenAsTheyStand) {
  XmlDocument root(NodeNew(u"r", nullptr));
  XmlNode* both = NodeChild(root.get(), u"both", true);
  ASSERT_TRUE(NodeSetValue(both, u"  v"));
  (void)NodeChild(both, u"hidden", true);
  ASSERT_TRUE(NodeAppendChild(root.get(), NodeNew(u"empty", u"")));
  XmlNode* bare = NodeNew(u"attr", nullptr);
  ASSERT_TRUE(NodeAppendChild(root.get(), bare));
  ASSERT_TRUE(NodeAppendAttribute(bare, NodeNew(u"novalue", nullptr)));
  EXPECT_EQ(Save(root.get()),
            "<r>\n  <both>  v</both>\n  <empty></empty>\n  <attr novalue=\"\" />\n</r>");
  XmlNode* comment = NodeNew(u"c", nullptr);
  comment->comment = XmlText(u"x");
  ASSERT_TRUE(NodeAppendChild(root.get(), comment));
  int result = 1;
  EXPECT_EQ(WrittenText([&](std::FILE* f) { return XmlWriteNode(comment, f, 3); }, &result),
            u"\r\n<!--\r\nx\r\n-->\n      <c />");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(WrittenText([&](std::FILE* f) { return XmlWriteComment(both, f); }, &result), u"");
  EXPECT_EQ(result, kNoComment);
}

TEST(XmlWriterTest, LongPiecesAreWrittenWhole) {
  const std::string name(3000, 'n');
  const std::string value(40000, 'v');
  const std::string text =
      "<" + name + " " + name + "=\"" + value + "\"><c>" + value + "</c></" + name + ">";
  const std::string saved = Resave(text);
  EXPECT_EQ(saved, "<" + name + " " + name + "=\"" + value + "\" >\n  <c>" + value + "</c>\n</" +
                       name + ">");
}

TEST(XmlWriterTest, EmptyDocumentAndFailedWritesGiveNoBytes) {
  test::ScratchStream scratch;
  std::string bytes = "stale";
  EXPECT_EQ(XmlSerialize(scratch.get(), nullptr, &bytes), kSerializeFailed);
  EXPECT_EQ(bytes, "");

  vk::test::TempFolder folder;
  ASSERT_TRUE(vk::test::WriteWholeFile(folder.Join(u"ro.txt"), ""));
  std::FILE* readOnly = platform::OpenFile(folder.Join(u"ro.txt"), u"rb");
  ASSERT_NE(readOnly, nullptr);
  XmlDocument doc = Parse("<r/>");
  EXPECT_NE(XmlSerialize(readOnly, doc.get(), &bytes), 0);
  EXPECT_EQ(bytes, "");
  std::fclose(readOnly);
}

// A million siblings, and chains deeper than the reader accepts, neither
// exhaust the stack when checked and released, nor when the deepest document
// the reader accepts is written.
TEST(XmlWriterTest, HugeTreesSurviveWritingCheckingAndRelease) {
  XmlDocument wide(NodeNew(u"r", nullptr));
  XmlNode* last = NodeNew(u"c", nullptr);
  wide->firstChild = last;
  last->parent = wide.get();
  for (int i = 1; i < 1000000; ++i) {
    ASSERT_TRUE(NodeInsertAfter(last, NodeNew(u"c", nullptr)));
    last = last->next;
  }
  EXPECT_TRUE(NodeCheckTree(wide.get()));
  EXPECT_EQ(Save(wide.get()).size(), 1000000 * std::string_view("\n  <c />").size() + 8);

  XmlDocument deep(NodeNew(u"e", nullptr));
  XmlNode* inner = deep.get();
  for (int i = 1; i < 1000000; ++i) inner = NodeChild(inner, u"e", true);
  EXPECT_TRUE(NodeCheckTree(deep.get()));

  std::string deepest;
  for (int i = 0; i < kMaxElementDepth; ++i) deepest += "<e>";
  for (int i = 0; i < kMaxElementDepth; ++i) deepest += "</e>";
  Resave(deepest);
}

}  // namespace
}  // namespace vk::xml
