#pragma once

#include "filelist/FileListModel.h"

#include <QTest>

#include <gtest/gtest.h>

// Runs the event loop until the list's filling is complete (every row there with its
// protection), as the window would while the user waits; fails the test when it never is.
inline void waitUntilFilled(const FileListModel& model)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isFilling(); }, 120000)) << "the list never filled";
}

// Shows folder in the list and waits until it is filled.
inline void fillFrom(FileListModel& model, const QByteArray& folder)
{
    model.showFolder(folder);
    waitUntilFilled(model);
}
