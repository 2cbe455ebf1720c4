#pragma once

#include <QString>

class QWidget;

// Every question and error box of the program goes through this interface, so that tests can
// answer a box instead of a person.
class MessageBox {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBox() = default;
    // A box that cannot be shown answers Cancel (or No where there is no Cancel).
    virtual Answer show(QWidget* owner, const QString& title, const QString& text, Buttons buttons,
        Icon icon)
        = 0;

    // The box in use: a real QMessageBox unless a test installed another.
    static MessageBox& current();
    // Installs box (not owned) in place of the real one; null puts the real one back.
    static void install(MessageBox* box);
};
