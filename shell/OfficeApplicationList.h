#pragma once

#include "shell/OfficeApplicationRow.h"

#include <QTreeWidget>

#include <vector>

// The list of open office applications in the start-up check window: one row per application
// window with its title, the account that runs it and that account's domain.
class OfficeApplicationList final : public QTreeWidget {
    Q_OBJECT

public:
    enum Column { ApplicationName, UserName, DomainName, ColumnCount };

    explicit OfficeApplicationList(QWidget* parent);

    // Replaces every row, in ascending order of the application names.
    void setRows(const std::vector<OfficeApplicationRow>& rows);

private:
    void setupColumns();
    void setupSelection();
    void setupAccessibility();
};
