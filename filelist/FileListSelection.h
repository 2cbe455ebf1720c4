#pragma once

#include <QList>

#include <cstdint>

class FileListModel;
class LinkedList;
class QItemSelectionModel;

// The rows the user has selected, read from the selection model over the list's rows. It needs
// no widget, so the commands and their tests see exactly the selection that the view shows. Each
// list-filling call adds to the given list and returns how many it added.
class FileListSelection {
public:
    FileListSelection(FileListModel& model, QItemSelectionModel& selection);

    // The rows selected now, in ascending order.
    QList<int> selectedRows() const;
    // The highest selected row, or -1.
    int32_t XListView_GetLastSelelctedItem() const;
    // One entry per selected row (its name, row and whether it is protected), each added at the
    // front: the highest row comes first.
    int32_t XListView_GetOfficeFileNamesList(LinkedList& entries) const;
    // The full paths of the selected rows that count, judged by their rows' kinds.
    int32_t XListView_GetOfficePDFFilesList(LinkedList& paths) const;
    int32_t XListView_GetProtectedOfficePDFFilesList(LinkedList& paths) const;
    // The full paths of the selected files that are not protected now, judged from the files
    // themselves; protectedCount counts the others.
    int32_t XListView_GetNonEncSelectedFilesList(LinkedList& paths, int32_t& protectedCount) const;
    // Selects every row (the first becomes current when none is): how many rows there are.
    int32_t XListView_SelectAll();

    void clear();
    // Adds row to the selection.
    void select(int row);

private:
    template <typename Counts> int32_t addSelectedPaths(LinkedList& paths, Counts counts) const;

    FileListModel& m_model;
    QItemSelectionModel& m_selection;
};
