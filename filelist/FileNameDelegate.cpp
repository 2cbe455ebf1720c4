#include "filelist/FileNameDelegate.h"

#include "filelist/FileListController.h"
#include "filelist/FileListModel.h"
#include "foundation/Log.h"

#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// What the key state of a held key reads as: its high bit set.
constexpr int heldKeyState = -128;

}

FileNameDelegate::FileNameDelegate(FileListController& list, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_list(list)
{
}

QWidget* FileNameDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->setAccessibleName(QStringLiteral("New file name"));
    return editor;
}

void FileNameDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const
{
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) {
        logError("XListView_EndLabelEdit,5,EditControl not found");
        logDebug("XListView_EndLabelEdit,6,End");
        return;
    }
    if (m_committing)
        return;
    m_committing = true;
    int32_t row = m_list.fileRename().rowUnderEdit();
    if (m_list.fileRename().XListView_EndLabelEdit(edit->text()) == 1)
        m_list.model().renameRow(row, QFile::encodeName(edit->text()));
    m_committing = false;
}

bool FileNameDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        logDebug("XListView_EndLabelEdit,1,VK_ESC check %d\n", heldKeyState);
    return QStyledItemDelegate::eventFilter(object, event);
}
