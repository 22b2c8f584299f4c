#include "xml/node.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vk::xml {
namespace {

// An element with children named after `names`, in order.
XmlNode* ElementWithChildren(std::initializer_list<const char16_t*> names) {
  XmlNode* element = NodeNew(u"root", nullptr);
  for (const char16_t* name : names) EXPECT_TRUE(NodeAppendChild(element, NodeNew(name, nullptr)));
  return element;
}

std::u16string ChildNames(const XmlNode* element) {
  std::u16string names;
  for (const XmlNode* child = element->firstChild; child != nullptr; child = child->next) {
    if (!names.empty()) names += u',';
    names += child->name.view();
  }
  return names;
}

XmlNode* NthChild(XmlNode* element, int n) {
  XmlNode* child = element->firstChild;
  while (n-- > 0) child = child->next;
  return child;
}

TEST(XmlNodeTest, NewNodeHoldsCopiesAndKeepsNoneApartFromEmpty) {
  char16_t name[] = u"Name";
  XmlDocument node(NodeNew(name, u""));
  name[0] = u'X';
  EXPECT_EQ(node->name.view(), u"Name");
  ASSERT_TRUE(node->value);
  EXPECT_EQ(node->value.view(), u"");
  XmlDocument bare(NodeNew(nullptr, nullptr));
  EXPECT_FALSE(bare->name);
  EXPECT_FALSE(bare->value);
  EXPECT_EQ(NodePrefix(bare.get())[0], 0);
  EXPECT_EQ(bare->notes, nullptr);
}

TEST(XmlNodeTest, LookupsFoldTheCaseOfAToZOnly) {
  XmlDocument root(ElementWithChildren({u"první", u"MenuGroup", u"ŽLUŤ"}));
  EXPECT_EQ(NodeFindByName(root->firstChild, u"menugroup"), NthChild(root.get(), 1));
  EXPECT_EQ(NodeFindByName(root->firstChild, u"PRVNí"), root->firstChild);
  EXPECT_EQ(NodeFindByName(root->firstChild, u"PRVNÍ"), nullptr);
  EXPECT_EQ(NodeFindByName(root->firstChild, u"žluť"), nullptr);
  EXPECT_EQ(NodeFindByName(root->firstChild, u"ŽLUŤ"), NthChild(root.get(), 2));
  // "@" and "[" neighbour A and Z; they must not fold into "`" and "{".
  XmlDocument edge(ElementWithChildren({u"@[", u"`{"}));
  EXPECT_EQ(NodeFindByName(edge->firstChild, u"`{"), NthChild(edge.get(), 1));
}

TEST(XmlNodeTest, FindByNameSearchesTheWholeChainFromItsStart) {
  XmlDocument root(ElementWithChildren({u"a", u"b", u"a", u"c"}));
  XmlNode* third = NthChild(root.get(), 2);
  EXPECT_EQ(NodeFindByName(third, u"A"), root->firstChild);
  EXPECT_EQ(NodeFindNextByName(root->firstChild, u"a"), third);
  EXPECT_EQ(NodeFindNextByName(third, u"a"), nullptr);
  EXPECT_EQ(NodeFindByName(third, u"missing"), nullptr);
  EXPECT_EQ(NodeFindByName(nullptr, u"a"), nullptr);
  // A nameless node never matches, not even an empty name.
  XmlDocument nameless(ElementWithChildren({nullptr}));
  EXPECT_EQ(NodeFindByName(nameless->firstChild, u""), nullptr);
}

TEST(XmlNodeTest, SetAttributeUpdatesInPlaceOrAppends) {
  XmlDocument element(NodeNew(u"e", nullptr));
  XmlNode* uid = NodeSetAttribute(element.get(), u"UID", u"1");
  XmlNode* name = NodeSetAttribute(element.get(), u"Name", u"x");
  EXPECT_EQ(NodeSetAttribute(element.get(), u"uid", u"2"), uid);
  EXPECT_EQ(uid->name.view(), u"UID");
  EXPECT_EQ(uid->value.view(), u"2");
  EXPECT_EQ(element->firstAttribute, uid);
  EXPECT_EQ(uid->next, name);
  EXPECT_EQ(name->parent, element.get());
  EXPECT_EQ(NodeSetAttribute(element.get(), nullptr, u"v"), nullptr);
  EXPECT_EQ(name->next, nullptr);
  EXPECT_EQ(NodeSetAttribute(nullptr, u"a", u"v"), nullptr);
  EXPECT_TRUE(NodeCheckTree(element.get()));
}

TEST(XmlNodeTest, FindByAttributeLooksAtTheFirstAttributeOfThatNameOnly) {
  XmlDocument root(ElementWithChildren({u"a", u"b", u"c"}));
  (void)NodeSetAttribute(NthChild(root.get(), 0), u"Id", u"one");
  XmlNode* second = NthChild(root.get(), 1);
  (void)NodeSetAttribute(second, u"ID", u"Two");
  // A later attribute of the same name is not considered.
  XmlNode* late = NodeNew(u"id", u"three");
  ASSERT_TRUE(NodeAppendAttribute(second, late));
  EXPECT_EQ(NodeFindByAttribute(NthChild(root.get(), 2), u"id", u"TWO"), second);
  EXPECT_EQ(NodeFindByAttribute(root->firstChild, u"id", u"three"), nullptr);
  EXPECT_EQ(NodeFindByAttribute(root->firstChild, u"other", u"one"), nullptr);
}

TEST(XmlNodeTest, ChildWithValueNeverMatchesAChildWithoutValue) {
  XmlDocument root(ElementWithChildren({u"Item"}));
  EXPECT_EQ(NodeChildWithValue(root.get(), u"item", u"", false), nullptr);
  XmlNode* valued = NodeNew(u"Item", u"A.cuix");
  ASSERT_TRUE(NodeAppendChild(root.get(), valued));
  EXPECT_EQ(NodeChildWithValue(root.get(), u"ITEM", u"a.CUIX", false), valued);
  XmlNode* created = NodeChildWithValue(root.get(), u"Item", u"b.cuix", true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->value.view(), u"b.cuix");
  EXPECT_EQ(created->previous, valued);
  EXPECT_EQ(NodeChildWithValue(nullptr, u"Item", u"x", true), nullptr);
}

TEST(XmlNodeTest, ChildAppendsAndSiblingInsertsRightAfterTheNode) {
  XmlDocument root(ElementWithChildren({u"a", u"b", u"c"}));
  EXPECT_EQ(NodeChild(root.get(), u"B", false), NthChild(root.get(), 1));
  EXPECT_EQ(NodeChild(root.get(), u"d", false), nullptr);
  XmlNode* d = NodeChild(root.get(), u"d", true);
  EXPECT_EQ(ChildNames(root.get()), u"a,b,c,d");
  EXPECT_EQ(d->parent, root.get());
  EXPECT_EQ(NodeSibling(d, u"A", true), root->firstChild);
  XmlNode* x = NodeSibling(root->firstChild, u"x", true);
  EXPECT_EQ(ChildNames(root.get()), u"a,x,b,c,d");
  EXPECT_EQ(x->parent, root.get());
  EXPECT_EQ(NodeSibling(nullptr, u"x", true), nullptr);
  EXPECT_TRUE(NodeCheckTree(root.get()));
}

TEST(XmlNodeTest, UnlinkKeepsTheParentsFirstChildRight) {
  XmlDocument root(ElementWithChildren({u"a", u"b", u"c"}));
  NodeUnlink(NthChild(root.get(), 1), true);
  EXPECT_EQ(ChildNames(root.get()), u"a,c");
  XmlNode* first = root->firstChild;
  NodeUnlink(first, false);
  EXPECT_EQ(ChildNames(root.get()), u"c");
  EXPECT_EQ(root->firstChild->previous, nullptr);
  EXPECT_EQ(first->next, nullptr);
  EXPECT_EQ(first->parent, nullptr);
  NodeFree(first);
  NodeUnlink(root->firstChild, true);
  EXPECT_EQ(root->firstChild, nullptr);
  EXPECT_TRUE(NodeCheckTree(root.get()));
}

TEST(XmlNodeTest, InsertBeforeTheFirstChildBecomesTheFirstChild) {
  XmlDocument root(ElementWithChildren({u"b", u"d"}));
  ASSERT_TRUE(NodeInsertBefore(root->firstChild, NodeNew(u"a", nullptr)));
  ASSERT_TRUE(NodeInsertBefore(NthChild(root.get(), 2), NodeNew(u"c", nullptr)));
  ASSERT_TRUE(NodeInsertAfter(NthChild(root.get(), 3), NodeNew(u"e", nullptr)));
  EXPECT_EQ(ChildNames(root.get()), u"a,b,c,d,e");
  EXPECT_TRUE(NodeCheckTree(root.get()));
  XmlDocument orphan(NodeNew(u"o", nullptr));
  EXPECT_FALSE(NodeInsertBefore(nullptr, orphan.get()));
  EXPECT_FALSE(NodeInsertAfter(nullptr, orphan.get()));
  EXPECT_FALSE(NodeAppendChild(nullptr, orphan.get()));
  EXPECT_FALSE(NodeAppendAttribute(nullptr, orphan.get()));
  EXPECT_FALSE(NodeSetName(orphan.get(), nullptr));
  EXPECT_EQ(orphan->name.view(), u"o");
  EXPECT_FALSE(NodeSetValue(nullptr, u"v"));
}

struct CountedData : extraData {
  explicit CountedData(int* released) : extraData(2), released_(released) {}
  ~CountedData() override { ++*released_; }
  int* released_;
};

TEST(XmlNodeTest, FreeOfTheFirstNodeReleasesTheWholeDocument) {
  int released = 0;
  XmlNode* declaration = NodeNew(u"?xml", nullptr);
  NodeSetExtra(declaration, std::make_unique<CountedData>(&released));
  XmlNode* root = ElementWithChildren({u"a", u"b"});
  NodeSetExtra(NthChild(root, 1), std::make_unique<CountedData>(&released));
  (void)NodeSetAttribute(root, u"x", u"1");
  ASSERT_TRUE(NodeInsertAfter(declaration, root));
  NodeFree(declaration);  // the sanitizer build reports anything left behind
  EXPECT_EQ(released, 2);
}

TEST(XmlNodeTest, CheckTreeTestsEveryInvariant) {
  XmlDocument root(ElementWithChildren({u"a", u"b"}));
  (void)NodeSetAttribute(root.get(), u"x", u"1");
  EXPECT_TRUE(NodeCheckTree(root.get()));
  EXPECT_FALSE(NodeCheckTree(nullptr));

  ASSERT_TRUE(NodeSetValue(root.get(), u"text"));
  EXPECT_FALSE(NodeCheckTree(root.get())) << "value and children";
  ASSERT_TRUE(NodeSetValue(root.get(), nullptr));

  ASSERT_TRUE(NodeSetValue(root->firstAttribute, nullptr));
  EXPECT_FALSE(NodeCheckTree(root.get())) << "attribute without value";
  ASSERT_TRUE(NodeSetValue(root->firstAttribute, u"1"));

  XmlNode* b = NthChild(root.get(), 1);
  b->name = XmlText();
  EXPECT_FALSE(NodeCheckTree(root.get())) << "nameless child";
  ASSERT_TRUE(NodeSetName(b, u"b"));

  b->previous = nullptr;
  EXPECT_FALSE(NodeCheckTree(root.get())) << "second child without previous";
  b->previous = root->firstChild;

  root->firstAttribute->parent = nullptr;
  EXPECT_FALSE(NodeCheckTree(root.get())) << "attribute of no element";
  root->firstAttribute->parent = root.get();
  EXPECT_TRUE(NodeCheckTree(root.get()));

  XmlDocument container(NodeNew(nullptr, nullptr));
  EXPECT_FALSE(NodeCheckTree(container.get()));
}

}  // namespace
}  // namespace vk::xml
