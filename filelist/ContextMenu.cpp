#include "filelist/ContextMenu.h"

#include "resources/MenuResources.h"

#include <QAction>
#include <QMenu>

bool ContextMenu::load(QWidget* parent)
{
    if (m_popup)
        return true;
    const MenuResources::Popup* resource = MenuResources::firstPopup(MenuResources::ListViewContextMenu);
    if (!resource)
        return false;
    m_popup = new QMenu(QString::fromLatin1(resource->title), parent);
    m_popup->setAccessibleName(QStringLiteral("File list menu"));
    for (const MenuResources::MenuEntry& entry : resource->entries) {
        if (entry.command == 0) {
            m_popup->addSeparator();
            continue;
        }
        QAction* action = m_popup->addAction(QString::fromLatin1(entry.text));
        action->setData(entry.command);
        action->setEnabled(m_states.isEnabled(entry.command));
    }
    return true;
}

void ContextMenu::update(const SelectionCounts& counts)
{
    applyContextMenuRules(counts, m_states);
    for (QAction* entry : m_popup->actions()) {
        if (!entry->isSeparator())
            entry->setEnabled(m_states.isEnabled(entry->data().toInt()));
    }
}

int32_t ContextMenu::exec(const QPoint& globalPosition)
{
    QAction* chosen = m_popup->exec(globalPosition);
    return chosen ? chosen->data().toInt() : 0;
}

QAction* ContextMenu::action(int32_t command) const
{
    for (QAction* entry : m_popup->actions()) {
        if (!entry->isSeparator() && entry->data().toInt() == command)
            return entry;
    }
    return nullptr;
}
