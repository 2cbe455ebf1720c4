#pragma once

#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include <functional>

// Answers the message boxes of every window instead of a person while it lives, and remembers
// what it was asked and on which thread. whileShown runs inside the box, as the user's time in
// front of it.
class AnsweringMessageBox final : public MessageBox {
public:
    explicit AnsweringMessageBox(Answer answer)
        : m_answer(answer)
    {
        MessageBox::install(this);
    }
    ~AnsweringMessageBox() override { MessageBox::install(nullptr); }

    Answer show(
        QWidget* owner, const QString& title, const QString& text, Buttons buttons, Icon icon) override
    {
        ++asked;
        lastOwner = owner;
        lastTitle = title;
        lastText = text;
        texts << text;
        lastButtons = buttons;
        lastIcon = icon;
        onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        if (whileShown)
            whileShown();
        return m_answer;
    }

    // The answer to the boxes from now on.
    void setAnswer(Answer answer) { m_answer = answer; }

    int asked = 0;
    QWidget* lastOwner = nullptr;
    QString lastTitle;
    QString lastText;
    // Every text asked, in order.
    QStringList texts;
    Buttons lastButtons = Buttons::YesNoCancel;
    Icon lastIcon = Icon::Information;
    bool onGuiThread = false;
    std::function<void()> whileShown;

private:
    Answer m_answer;
};
