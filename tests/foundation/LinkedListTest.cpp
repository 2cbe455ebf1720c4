#include "foundation/Exception.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/OutOfMemoryException.h"
#include "foundation/String.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> texts(const LinkedList& list)
{
    std::vector<std::string> result;
    for (Iterator* node = list.getHead(); node; node = node->getNext())
        result.emplace_back(static_cast<String*>(node->getElement())->getText());
    return result;
}

// Counts its live instances, so tests can see that a list released what it owned.
class Counted : public Object {
public:
    Counted() { ++alive; }
    ~Counted() override { --alive; }
    static inline int alive = 0;
};

}

TEST(LinkedList, NullElementsAreIgnored)
{
    LinkedList list;
    list.addLast(std::unique_ptr<String>());
    list.addFirst(std::unique_ptr<String>());
    EXPECT_EQ(list.getSize(), 0);
    EXPECT_EQ(list.getHead(), nullptr);
}

TEST(LinkedList, AddFirstOnEmptyIsHeadAndTail)
{
    LinkedList list;
    list.addFirst(std::make_unique<String>("b"));
    EXPECT_EQ(list.getHead(), list.getTail());
    list.addLast(std::make_unique<String>("c"));
    list.addFirst(std::make_unique<String>("a"));
    list.add(std::make_unique<String>("d"));
    EXPECT_EQ(texts(list), (std::vector<std::string> { "a", "b", "c", "d" }));
    EXPECT_EQ(list.getSize(), 4);
}

TEST(LinkedList, ClearAndDestructionReleaseEveryElement)
{
    {
        LinkedList list;
        for (int i = 0; i < 10; ++i)
            list.addLast(std::make_unique<Counted>());
        EXPECT_EQ(Counted::alive, 10);
        list.clear();
        EXPECT_EQ(Counted::alive, 0);
        EXPECT_EQ(list.getSize(), 0);
        list.addLast(std::make_unique<Counted>());
    }
    EXPECT_EQ(Counted::alive, 0);
}

// Releasing a list of a million paths must not recurse once per node and overflow the stack.
TEST(LinkedList, ReleasingALongListDoesNotExhaustTheStack)
{
    auto list = std::make_unique<LinkedList>();
    for (int i = 0; i < 1000000; ++i)
        list->addLast(std::make_unique<Counted>());
    list.reset();
    EXPECT_EQ(Counted::alive, 0);
}

TEST(LinkedList, CopyStringsMakesIndependentCopies)
{
    LinkedList copy;
    {
        LinkedList empty;
        EXPECT_EQ(copy.copyStrings(empty), 0);
        EXPECT_EQ(copy.getSize(), 0);

        LinkedList source;
        source.addLast(std::make_unique<String>("/a/one.doc"));
        source.addLast(std::make_unique<String>("/a/two.docx"));
        source.addLast(std::make_unique<String>("/a/three.docm"));
        EXPECT_EQ(copy.copyStrings(source), 3);
    }
    EXPECT_EQ(texts(copy), (std::vector<std::string> { "/a/one.doc", "/a/two.docx", "/a/three.docm" }));
}

TEST(ListItem, KeepsNameIndexFlagAndOwner)
{
    ListItem withOwner("report.doc", 4, 7, "alice@example.com");
    EXPECT_STREQ(withOwner.getName().getText(), "report.doc");
    EXPECT_EQ(withOwner.getIndex(), 4);
    EXPECT_TRUE(withOwner.getFlag());
    EXPECT_STREQ(withOwner.getOwner().getText(), "alice@example.com");

    ListItem plain("notes.docx", 0, 0, nullptr);
    EXPECT_FALSE(plain.getFlag());
    EXPECT_STREQ(plain.getOwner().getText(), "");
}

TEST(Exception, CopyOutlivesTheOriginal)
{
    auto original = std::make_unique<Exception>("OfficeApplication#protect,2,File not found", 102);
    Exception copy(*original);
    original.reset();
    EXPECT_STREQ(copy.getMessage(), "OfficeApplication#protect,2,File not found");
    EXPECT_EQ(copy.getErrorCode(), 102);

    Exception none(nullptr, 5);
    EXPECT_EQ(none.getMessage(), nullptr);
    Exception copyOfNone(none);
    EXPECT_EQ(copyOfNone.getMessage(), nullptr);
}

TEST(Exception, FormattedMessageIsCutAt2047Characters)
{
    Exception formatted(8, "Thread#Thread,1,Failed to create a thread %d", 42);
    EXPECT_STREQ(formatted.getMessage(), "Thread#Thread,1,Failed to create a thread 42");

    std::string longText(5000, 'x');
    Exception cut(1, "%s", longText.c_str());
    EXPECT_EQ(std::string(cut.getMessage()).size(), 2047u);
}

TEST(Exception, OutOfMemoryIsCaughtAsException)
{
    try {
        throw OutOfMemoryException("String::String,1,Failed to create a string", 0);
    } catch (const Exception& caught) {
        EXPECT_STREQ(caught.getMessage(), "String::String,1,Failed to create a string");
        EXPECT_EQ(caught.getErrorCode(), 0);
    }
}
