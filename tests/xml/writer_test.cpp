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
  };
  for (const char* document : documents) {
    std::string saved = Resave(document);
    for (int round = 0; round < 3; ++round) EXPECT_EQ(Resave(saved), saved) << document;
  }
}

TEST(XmlWriterTest, CdataSectionsAndEmptyDeclarationsReadBackTheSame) {
  EXPECT_EQ(Resave("<r><![CDATA[<b>&amp;</b>]]><![CDATA[]]></r>"),
            "<r>\n  <![CDATA[<b>&amp;</b>]]>\n  <![CDATA[]]>\n</r>");
  EXPECT_EQ(Resave("<![CDATA[x]]><r/>"), "<![CDATA[x]]>\n<r />");
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
  NodeSetComment(comment, XmlText(u"x"));
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

// The model keeps text verbatim, so an edit can make a tree that no document
// could hold; writing it would replace a file by one that does not open.
constexpr char16_t kUnpairedHigh[] = {u'a', 0xD800, 0};
constexpr char16_t kLowBeforeHigh[] = {0xDC00, 0xD800, 0};

TEST(XmlWriterTest, TreesThatWouldNotReadBackAreRefused) {
  struct Case {
    const char* what;
    void (*edit)(XmlNode* declaration, XmlNode* root);
  };
  const Case cases[] = {
      {"quote in an attribute value",
       [](XmlNode*, XmlNode* r) { (void)NodeSetAttribute(r, u"a", u"\"x\""); }},
      {"< in text", [](XmlNode*, XmlNode* r) { (void)NodeSetValue(r->firstChild, u"a<b"); }},
      {"--> in a comment",
       [](XmlNode*, XmlNode* r) { NodeSetComment(r->firstChild, XmlText(u"a --> b")); }},
      {"blank in a name", [](XmlNode*, XmlNode* r) { (void)NodeSetName(r, u"a b"); }},
      {"/ in a name", [](XmlNode*, XmlNode* r) { (void)NodeSetName(r, u"a/b"); }},
      {"> in a name", [](XmlNode*, XmlNode* r) { (void)NodeSetName(r, u"a>b"); }},
      {"= in a name", [](XmlNode*, XmlNode* r) { (void)NodeSetName(r, u"a=b"); }},
      {"name of a markup declaration",
       [](XmlNode*, XmlNode* r) { (void)NodeSetName(r, u"!DOCTYPE"); }},
      {"= in an attribute name",
       [](XmlNode*, XmlNode* r) { (void)NodeSetAttribute(r, u"k=v", u"1"); }},
      {"tab in an attribute name",
       [](XmlNode*, XmlNode* r) { (void)NodeSetAttribute(r, u"k\tv", u"1"); }},
      {"unpaired surrogate in text",
       [](XmlNode*, XmlNode* r) { (void)NodeSetValue(r->firstChild, kUnpairedHigh); }},
      {"unpaired surrogate in a comment",
       [](XmlNode* d, XmlNode*) { NodeSetComment(d, XmlText(kLowBeforeHigh)); }},
      {"unpaired surrogate in an attribute name",
       [](XmlNode*, XmlNode* r) { (void)NodeSetAttribute(r, kUnpairedHigh, u"1"); }},
      {"unpaired surrogate in a name",
       [](XmlNode*, XmlNode* r) { (void)NodeSetName(r->firstChild, kLowBeforeHigh); }},
      {"CDATA value holding ] and <",
       [](XmlNode*, XmlNode* r) { (void)NodeAppendChild(r, NodeNew(u"CDATA", u"<b>]")); }},
      {"prefix beyond three bytes",
       [](XmlNode* d, XmlNode*) { NodeSetPrefix(d, u"\u00E9\u00E9"); }},
      {"< in the prefix", [](XmlNode* d, XmlNode*) { NodeSetPrefix(d, u"<"); }},
      {"declaration alone", [](XmlNode*, XmlNode* r) { NodeUnlink(r, true); }},
      {"nesting beyond the reader's limit",
       [](XmlNode*, XmlNode* r) {
         for (int level = 0; level < kMaxElementDepth; ++level) r = NodeChild(r, u"e", true);
       }},
  };
  for (const Case& c : cases) {
    XmlDocument doc = Parse("<?xml version=\"1.0\"?><r a=\"1\"><t>x</t><c/></r>");
    ASSERT_TRUE(doc);
    c.edit(doc.get(), doc->next);
    test::ScratchStream scratch;
    std::string bytes = "stale";
    EXPECT_EQ(XmlSerialize(scratch.get(), doc.get(), &bytes), kSerializeFailed) << c.what;
    EXPECT_EQ(bytes, "") << c.what;
  }

  XmlDocument doc = Parse("<r><!--x--><c/></r>");
  ASSERT_TRUE(doc);
  NodeSetComment(doc->firstChild, XmlText(u"-->"));
  int result = 0;
  (void)WrittenText([&](std::FILE* f) { return XmlWriteNode(doc.get(), f, 0); }, &result);
  EXPECT_EQ(result, kWriteRefused);
  (void)WrittenText([&](std::FILE* f) { return XmlWriteComment(doc->firstChild, f); }, &result);
  EXPECT_EQ(result, kWriteRefused);
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
