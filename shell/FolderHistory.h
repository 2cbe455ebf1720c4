#pragma once

#include <QByteArray>

class QComboBox;

// The folders visited in this run, in the combo box above the tree: newest first, each once (two
// names that differ only in letter case are two folders), at most 260 characters each. Not kept
// between runs.
class FolderHistory {
public:
    static constexpr int MaximumLength = 260;

    explicit FolderHistory(QComboBox* comboBox);

    // A folder has been selected: it becomes the first entry unless it is there already, and the
    // box's text. The empty folder (a place without a path) is shown but not remembered.
    void visit(const QByteArray& folder);

    // The folder of entry index as its bytes, which a name that is not valid text keeps only
    // there.
    QByteArray folderAt(int index) const;

    // Whether a chosen entry's text names the current folder, so that choosing it goes nowhere.
    static bool namesCurrentFolder(const QString& chosen, const QByteArray& currentFolder);

private:
    QComboBox* m_comboBox;
};
