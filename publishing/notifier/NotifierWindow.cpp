#include "publishing/notifier/NotifierWindow.h"

#include "resources/ResourceIcons.h"
#include "ui/DialogPlacement.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCollator>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QTreeWidget>
#include <QWindow>

namespace {

const char* const Title = "Publishing Notifier";
const char* const FirstLine = "Publishing Office 2003/2007 Excel files as HTML files. ";
constexpr int SuccessRole = Qt::UserRole;

// The type a file manager shows for the name, from its extension alone: the file is not read,
// so a document that has gone still gets the type of its name.
QString typeName(const QString& fileName)
{
    static const QMimeDatabase database;
    return database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).comment();
}

// A result row stands among the others by its file name without regard to case, as a file
// manager lists names; rows whose names differ only in case keep the order they came in.
class ResultRow final : public QTreeWidgetItem {
public:
    ResultRow(const QStringList& texts, quint64 arrival)
        : QTreeWidgetItem(texts)
        , m_arrival(arrival)
    {
    }

    bool operator<(const QTreeWidgetItem& other) const override
    {
        int order = nameOrder().compare(text(0), other.text(0));
        if (order != 0)
            return order < 0;
        auto* row = dynamic_cast<const ResultRow*>(&other);
        return row && m_arrival < row->m_arrival;
    }

private:
    // Rows are compared on the GUI thread only, so one collator serves them all.
    static const QCollator& nameOrder()
    {
        static const QCollator collator = [] {
            QCollator caseInsensitive;
            caseInsensitive.setCaseSensitivity(Qt::CaseInsensitive);
            return caseInsensitive;
        }();
        return collator;
    }

    quint64 m_arrival;
};

QString lastComponent(const QString& path)
{
    int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

}

NotifierWindow::NotifierWindow(QWidget* owner, const QRect& screenArea, std::function<void()> cancelRequested)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_cancelRequested(std::move(cancelRequested))
{
    standAbove(owner);
    setupWindow(screenArea);
    setupControls();
    setupResultList();
}

// A dialog that is the owner's child would be destroyed with it, and a job outlives the window
// that started it (the program closing while it runs); so the window is a top-level one that
// the window system keeps above the owner's window for as long as that one is there.
void NotifierWindow::standAbove(QWidget* owner)
{
    if (!owner)
        return;
    QWidget* ownerWindow = owner->window();
    if (!ownerWindow->windowHandle())
        return;
    winId();
    windowHandle()->setTransientParent(ownerWindow->windowHandle());
}

void NotifierWindow::setupWindow(const QRect& screenArea)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QString::fromLatin1(Title));
    setWindowIcon(ResourceIcons::icon(ResourceIcons::PublishingNotifier));
    setFixedSize(Width, Height - 20);
    if (!screenArea.isEmpty())
        move(centredDialogPosition(QSize(Width, Height), screenArea, screenArea));
}

void NotifierWindow::setupControls()
{
    QFont messageFont = QApplication::font("QMessageBox");

    m_textLine = new QLabel(QString::fromLatin1(FirstLine), this);
    m_textLine->setGeometry(10, 6, 520, 22);
    m_textLine->setFont(messageFont);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(1, 207, 538, 2);

    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setGeometry(350, 215, 70, 25);
    m_cancelButton->setFont(messageFont);
    // Enter presses nothing: the window has no default answer, as it had none on Windows.
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &NotifierWindow::applyCancelRule);

    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    m_closeButton->setGeometry(450, 215, 70, 25);
    m_closeButton->setFont(messageFont);
    m_closeButton->setEnabled(false);
    m_closeButton->setAutoDefault(false);
    connect(m_closeButton, &QPushButton::clicked, this, &QObject::deleteLater);
}

void NotifierWindow::setupResultList()
{
    m_resultList = new QTreeWidget(this);
    m_resultList->setGeometry(10, 30, 520, 170);
    m_resultList->setColumnCount(3);
    m_resultList->setHeaderLabels(
        { QStringLiteral("FileName"), QStringLiteral("Type"), QStringLiteral("Result") });
    m_resultList->setColumnWidth(0, 250);
    m_resultList->setColumnWidth(1, 190);
    m_resultList->setColumnWidth(2, 60);
    m_resultList->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_resultList->header()->setSectionsClickable(false);
    m_resultList->header()->setStretchLastSection(false);
    m_resultList->setRootIsDecorated(false);
    m_resultList->setIconSize(QSize(16, 16));
    m_resultList->setWordWrap(false);
    m_resultList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultList->setSortingEnabled(true);
    m_resultList->sortByColumn(0, Qt::AscendingOrder);
    // Sorting turns the header's arrow on; the order is fixed, so there is nothing to point at.
    m_resultList->header()->setSortIndicatorShown(false);
}

void NotifierWindow::showProgress(const QString& text)
{
    if (!text.isNull())
        m_textLine->setText(text);
    showNormal();
}

void NotifierWindow::addResult(const QString& path, const QString& resultText, int32_t successMark)
{
    QString name = lastComponent(path);
    auto* row = new ResultRow({ name, typeName(name), resultText }, m_rowsAdded++);
    bool succeeded = successMark == 1;
    row->setIcon(0, ResourceIcons::icon(succeeded ? ResourceIcons::Success : ResourceIcons::Failure));
    row->setData(0, SuccessRole, successMark);
    if (successMark == 0) {
        for (int column = 0; column < 3; ++column)
            row->setForeground(column, QColor(0xFF, 0, 0));
    }
    m_resultList->addTopLevelItem(row);
}

void NotifierWindow::showSummary(const QString& text)
{
    m_textLine->setText(text);
    m_cancellable = false;
    m_closeButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
}

NotifierWindow::State NotifierWindow::state() const
{
    if (m_closeButton->isEnabled())
        return State::Finished;
    return m_cancellable ? State::Running : State::CancelRequested;
}

QString NotifierWindow::progressText() const
{
    return m_textLine->text();
}

void NotifierWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    applyCancelRule();
}

void NotifierWindow::reject()
{
    applyCancelRule();
}

void NotifierWindow::applyCancelRule()
{
    if (!m_cancellable) {
        deleteLater();
        return;
    }
    MessageBox::Answer answer = MessageBox::current().show(this, QString::fromLatin1(Title),
        QStringLiteral("Are you sure you want to cancel this publishing operation?"),
        MessageBox::Buttons::OkCancel, MessageBox::Icon::Question);
    // The job may have finished while the question was open; then there is nothing to cancel.
    if (answer != MessageBox::Answer::Ok || !m_cancellable)
        return;
    m_cancelButton->setEnabled(false);
    m_cancellable = false;
    if (m_cancelRequested)
        m_cancelRequested();
}
