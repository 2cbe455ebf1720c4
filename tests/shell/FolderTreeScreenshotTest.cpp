#include "FolderTreeFixture.h"

#include "shell/FolderTree.h"
#include "tests/filelist/Screenshot.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The tree with a few folders open and one selected, saved under name for a person to look at;
// the image, checked for a drawn label in the selected row.
QImage grabTree(const QString& name)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("Invoices 2025");
    fixture.makeFolder("Letters/To the bank");
    fixture.makeFolder("Documents/Reports");
    FolderTree tree(&fixture.model());
    tree.resize(260, 280);
    tree.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&tree));
    QModelIndex bank = fixture.model().pathToItemIdList(fixture.home() + "/Letters/To the bank");
    tree.selectFolder(bank);
    tree.expand(fixture.place(1));
    fixture.childLabels(fixture.place(1));
    QTest::qWait(50);
    QImage image = tree.grab().toImage();
    EXPECT_TRUE(image.save(screenshotPath(name)));
    qreal scale = image.devicePixelRatio();
    QRect row = tree.visualRect(bank).translated(tree.viewport()->pos());
    QRect pixels(QPoint(qRound(row.left() * scale), qRound(row.top() * scale)),
        QSize(qRound(row.width() * scale), qRound(row.height() * scale)));
    EXPECT_TRUE(drawnIn(image, pixels.intersected(image.rect())));
    return image;
}

}

// Run by the test below in a process of its own, at the scale its environment sets.
TEST(FolderTreeScreenshot, DrawnAtThisScale)
{
    QString name = qEnvironmentVariable("PRESSLING_TREE_SCREENSHOT", "foldertree.png");
    QImage image = grabTree(name);
    EXPECT_EQ(image.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
}

// Catches a tree that draws at one scale only: at twice the scale (a separate process, as Qt reads
// the factor once) the image has twice the pixels and its rows are still drawn.
TEST(FolderTreeScreenshot, DrawnAtDoubleScale)
{
    QImage plain = grabTree("foldertree.png");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", "2");
    environment.insert("PRESSLING_TREE_SCREENSHOT", "foldertree@2x.png");
    child.setProcessEnvironment(environment);
    child.start(
        QCoreApplication::applicationFilePath(), { "--gtest_filter=FolderTreeScreenshot.DrawnAtThisScale" });
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    QImage doubled(screenshotPath("foldertree@2x.png"));
    ASSERT_FALSE(doubled.isNull());
    EXPECT_EQ(doubled.size(), plain.size() * 2);
}
