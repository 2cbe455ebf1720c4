#include "ui/MessageBox.h"

#include <QMessageBox>

namespace {

class QtMessageBox final : public MessageBox {
public:
    Answer show(QWidget* owner, const QString& title, const QString& text, Buttons buttons, Icon icon) override
    {
        QMessageBox box(iconOf(icon), title, text, buttonsOf(buttons), owner);
        switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        }
    }

private:
    static QMessageBox::Icon iconOf(Icon icon)
    {
        switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        }
        return QMessageBox::NoIcon;
    }

    static QMessageBox::StandardButtons buttonsOf(Buttons buttons)
    {
        switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        }
        return QMessageBox::Ok;
    }
};

MessageBox* installed = nullptr;

}

MessageBox& MessageBox::current()
{
    static QtMessageBox real;
    return installed ? *installed : real;
}

void MessageBox::install(MessageBox* box)
{
    installed = box;
}
