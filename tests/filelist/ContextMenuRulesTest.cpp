#include "filelist/ContextMenuRules.h"
#include "filelist/ListCommand.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The entries of the resulting-states table, as one line: publish, Open, Delete, Change Name,
// Paste, Refresh, Copy ('+' enabled, '-' gray).
std::string statesLine(const ContextMenuStates& states)
{
    auto mark = [&](int32_t command) { return states.isEnabled(command) ? '+' : '-'; };
    std::string publish;
    for (int32_t command : ListCommand::PublishCommands)
        publish += mark(command);
    // The six publish entries always move together.
    EXPECT_TRUE(publish == "++++++" || publish == "------") << publish;
    return std::string { publish[0], ' ', mark(ListCommand::Open), mark(ListCommand::Delete),
        mark(ListCommand::ChangeName), ' ', mark(ListCommand::Paste), mark(ListCommand::Refresh),
        mark(ListCommand::Copy) };
}

std::string statesAfter(const SelectionCounts& counts, ContextMenuStates states = {})
{
    applyContextMenuRules(counts, states);
    return statesLine(states);
}

}

TEST(ContextMenuRules, NothingSelectedOffersRefreshAndPasteByClipboard)
{
    EXPECT_EQ(statesAfter({ 0, 0, 0, 0 }), "- --- -+-");
    EXPECT_EQ(statesAfter({ 0, 0, 0, 2 }), "- --- ++-");
}

TEST(ContextMenuRules, SelectionWithNothingPublishableLeavesOpenAndChangeNameAsTheyWere)
{
    // A first showing finds every entry enabled, as the menu resource has them.
    EXPECT_EQ(statesAfter({ 1, 0, 0, 0 }), "- +++ --+");
    EXPECT_EQ(statesAfter({ 1, 0, 0, 3 }), "- +++ +-+");

    // After a showing with nothing selected, Open and Change Name stay gray.
    ContextMenuStates states;
    applyContextMenuRules({ 0, 0, 0, 0 }, states);
    applyContextMenuRules({ 2, 0, 0, 1 }, states);
    EXPECT_EQ(statesLine(states), "- -+- +-+");
}

TEST(ContextMenuRules, PasswordsOnlyOpenButDoNotPublish)
{
    EXPECT_EQ(statesAfter({ 1, 1, 1, 5 }), "- +++ --+");
    EXPECT_EQ(statesAfter({ 3, 2, 2, 0 }), "- +++ --+");
}

TEST(ContextMenuRules, OneUnprotectedDocumentEnablesPublishing)
{
    EXPECT_EQ(statesAfter({ 2, 2, 1, 4 }), "+ +++ --+");
    EXPECT_EQ(statesAfter({ 1, 1, 0, 0 }), "+ +++ --+");
}

// Every rule is applied afresh: a selection after one that enabled publishing grays it again.
TEST(ContextMenuRules, EachShowingStartsFromTheRulesNotTheLastPublishState)
{
    ContextMenuStates states;
    applyContextMenuRules({ 1, 1, 0, 0 }, states);
    applyContextMenuRules({ 1, 0, 0, 0 }, states);
    EXPECT_EQ(statesLine(states), "- +++ --+");
    applyContextMenuRules({ 0, 0, 0, 0 }, states);
    EXPECT_EQ(statesLine(states), "- --- -+-");
}
