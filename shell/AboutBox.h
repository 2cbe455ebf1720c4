#pragma once

#include <QDialog>

// The About box: the program's icon, name and version, and what it is for. Modal over its
// owner, centred on it and kept on the screen. OK, Enter and Escape close it with 1, the close
// box with 2.
class AboutBox final : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClosedByCommand = 1;
    static constexpr int ClosedByCloseBox = 2;

    explicit AboutBox(QWidget* owner);

    // Shows the box over owner until it is closed; returns how it was closed.
    static int showFor(QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void setupContents();
    void placeOnScreen();
};
