#include "ScreenListTest.h"

#include "PointerScript.h"

#include "filelist/FileListModel.h"

#include <QTest>

ScreenListTest::ScreenListTest()
{
    list().installEventFilter(&m_dragEvents);
    list().viewport()->installEventFilter(&m_dragEvents);
}

void ScreenListTest::showList()
{
    m_fixture.show();
    list().setWindowTitle(QStringLiteral("Pressling file list"));
    list().setGeometry(ListGeometry);
    list().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list()));
    list().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list())) << "the list did not get the keyboard focus";
}

QPoint ScreenListTest::pointOnRow(const std::string& name)
{
    int row = m_fixture.rowOf(name);
    EXPECT_GE(row, 0) << "no row " << name;
    QRect rect = list().visualRect(m_fixture.model().index(row, FileListModel::NameColumn));
    return list().viewport()->mapToGlobal(QPoint(rect.left() + 30, rect.center().y()));
}

QPoint ScreenListTest::pointBelowRows()
{
    QWidget* viewport = list().viewport();
    return viewport->mapToGlobal(QPoint(viewport->width() / 2, viewport->height() - 40));
}

QStringList ScreenListTest::selectedNames()
{
    QStringList names;
    for (int row : list().selectedRows())
        names << QString::fromUtf8(m_fixture.model().rowAt(row).name);
    return names;
}

bool ScreenListTest::waitForRow(const std::string& name, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_fixture.rowOf(name) >= 0; }, timeoutMs);
}

bool ScreenListTest::waitForNoRow(const std::string& name, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_fixture.rowOf(name) < 0; }, timeoutMs);
}

bool ScreenListTest::startPeer(const QString& mode, const QStringList& arguments)
{
    QString geometry = QStringLiteral("%1,%2,%3,%4")
                           .arg(PeerGeometry.x())
                           .arg(PeerGeometry.y())
                           .arg(PeerGeometry.width())
                           .arg(PeerGeometry.height());
    m_peer = std::make_unique<PeerProcess>(QStringList { mode, "--geometry", geometry } + arguments);
    if (!m_peer->waitForLine("ready ")) {
        ADD_FAILURE() << "the peer's window never came: " << m_peer->transcript().toStdString();
        return false;
    }
    EXPECT_EQ(m_peer->window(), PeerGeometry) << "the peer's window is not where it was put";
    return true;
}

::testing::AssertionResult ScreenListTest::play(PointerScript& script)
{
    if (script.run())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << script.failure().toStdString() << "\n"
                                         << m_peer->transcript().toStdString();
}
