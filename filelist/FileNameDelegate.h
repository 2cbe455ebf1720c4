#pragma once

#include <QStyledItemDelegate>

class FileListController;

// The editor of a row's name. Committing the edit does not set the model's data: it asks
// XListView_EndLabelEdit, which renames the file and says whether the row takes the new name.
// Escape closes the editor without any of that, so the name and the file stay as they were.
class FileNameDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    FileNameDelegate(FileListController& list, QObject* parent);

    QWidget* createEditor(
        QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    FileListController& m_list;
    // A message box shown while an edit is being committed takes the focus from the editor,
    // which would commit the same edit a second time.
    mutable bool m_committing = false;
};
