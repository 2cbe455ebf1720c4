#include "filelist/ContextMenuRules.h"

#include "filelist/ListCommand.h"

namespace {

void setPublishEntries(ContextMenuStates& states, bool enabled)
{
    for (int32_t command : ListCommand::PublishCommands)
        states.setEnabled(command, enabled);
}

}

bool ContextMenuStates::isEnabled(int32_t command) const
{
    auto found = m_enabled.find(command);
    return found == m_enabled.end() || found->second;
}

void applyContextMenuRules(const SelectionCounts& counts, ContextMenuStates& states)
{
    states.setEnabled(ListCommand::Delete, false);
    states.setEnabled(ListCommand::Refresh, false);
    setPublishEntries(states, false);
    if (counts.selected > 0)
        states.setEnabled(ListCommand::Copy, true);
    states.setEnabled(ListCommand::Paste, counts.clipboardFiles > 0);
    if (counts.selected == 0) {
        states.setEnabled(ListCommand::Refresh, true);
        states.setEnabled(ListCommand::Open, false);
        states.setEnabled(ListCommand::ChangeName, false);
        states.setEnabled(ListCommand::Copy, false);
        return;
    }
    states.setEnabled(ListCommand::Delete, true);
    if (counts.publishable <= 0)
        return;
    // A selection whose Office documents and PDF files all carry a password may still be opened
    // and renamed, but there is nothing a job could publish.
    if (counts.publishable - counts.passwordProtected > 0)
        setPublishEntries(states, true);
    states.setEnabled(ListCommand::Open, true);
    states.setEnabled(ListCommand::ChangeName, true);
    states.setEnabled(ListCommand::Copy, true);
    states.setEnabled(ListCommand::Paste, false);
}
