#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

// The "Publishing Notifier" window: a progress line, the result rows sorted by file name without
// regard to case, Cancel and Close. It lives on the GUI thread; the job drives it through EncodingNotifier.
// A dialog, not a plain widget, so that a screen reader reports it as a dialog when it opens.
class NotifierWindow : public QDialog {
    Q_OBJECT

public:
    enum class State { Running, CancelRequested, Finished };

    // cancelRequested is called on the GUI thread once the user has confirmed Cancel. The window
    // is a top-level window that stands above owner's window (null: none), never owner's child,
    // so that it stays when the owner goes first. It opens centred on screenArea, the available
    // area of the screen it belongs on, wherever that screen stands (empty: where the window
    // system puts it).
    NotifierWindow(QWidget* owner, const QRect& screenArea, std::function<void()> cancelRequested);

    void showProgress(const QString& text);
    void addResult(const QString& path, const QString& resultText, int32_t successMark);
    void showSummary(const QString& text);

    State state() const;
    QString progressText() const;
    QTreeWidget* resultList() const { return m_resultList; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QPushButton* closeButton() const { return m_closeButton; }

    static constexpr int Width = 540;
    static constexpr int Height = 270;

protected:
    // The caption's close request is Cancel: it never closes a running job's window unasked.
    void closeEvent(QCloseEvent* event) override;
    // Escape asks as the caption's close request does.
    void reject() override;

private:
    void standAbove(QWidget* owner);
    void setupWindow(const QRect& screenArea);
    void setupControls();
    void setupResultList();
    void applyCancelRule();

    // True while a cancel is still possible.
    bool m_cancellable = true;
    std::function<void()> m_cancelRequested;
    // Rows added so far; tells rows whose names differ only in case apart by arrival.
    quint64 m_rowsAdded = 0;
    QLabel* m_textLine = nullptr;
    QTreeWidget* m_resultList = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};
