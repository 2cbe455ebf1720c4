#include "shell/AboutBox.h"

#include "resources/ResourceIcons.h"
#include "ui/DialogPlacement.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int programIcon = 130;

}

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Pressling"));
    setModal(true);
    setupContents();
}

int AboutBox::showFor(QWidget* owner)
{
    AboutBox box(owner);
    return box.exec();
}

void AboutBox::setupContents()
{
    auto* icon = new QLabel(this);
    icon->setPixmap(ResourceIcons::icon(programIcon).pixmap(32, 32));
    icon->setAccessibleName(QStringLiteral("Pressling icon"));
    auto* version = new QLabel(QStringLiteral(" Pressling  Version: 1.0.0.1"), this);
    auto* purpose = new QLabel(
        QStringLiteral(
            " Publishes Word, Excel and PowerPoint documents as HTML, web archive, text, XPS and PDF."),
        this);
    purpose->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(ClosedByCommand); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(purpose, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    // As wide as the box was drawn on Windows (239 dialog units of its 8 point font), whatever
    // the font here.
    setMinimumWidth(fontMetrics().averageCharWidth() * 239 / 4);
    adjustSize();
}

void AboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    placeOnScreen();
}

void AboutBox::placeOnScreen()
{
    std::optional<QRect> owner;
    if (QWidget* ownerWidget = parentWidget()) {
        // A child window's rectangle is its parent's business; the screen's is what counts here.
        owner = ownerWidget->isWindow() ? ownerWidget->frameGeometry()
                                        : QRect(ownerWidget->mapToGlobal(QPoint(0, 0)), ownerWidget->size());
    }
    const QScreen* display = screen();
    const QRect area = display ? display->geometry() : QRect(0, 0, 0, 0);
    move(centredDialogPosition(frameGeometry().size(), owner, area));
}

void AboutBox::closeEvent(QCloseEvent* event)
{
    event->accept();
    done(ClosedByCloseBox);
}

void AboutBox::reject()
{
    // Escape is a command like OK; only the close box answers 2.
    done(ClosedByCommand);
}
