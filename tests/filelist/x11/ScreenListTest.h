#pragma once

#include "DragEventCounter.h"
#include "PeerProcess.h"

#include "tests/filelist/ListFixture.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/TemporaryFolder.h"

#include <QPoint>
#include <QRect>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <string>

class PointerScript;

// The file list as a window of its own at a known place on a real X display, beside a second
// folder of files that belong to "another program", and with the message boxes answered.
class ScreenListTest : public testing::Test {
protected:
    // Apart, so that the list and a peer never cover each other: without a window manager a
    // window stays where it is put.
    static constexpr QRect ListGeometry { 40, 40, 640, 360 };
    static constexpr QRect PeerGeometry { 800, 120, 320, 240 };

    ScreenListTest();

    // Lists the folder and puts the list on the screen with the keyboard focus.
    void showList();
    FileListView& list() { return m_fixture.list(); }
    ListFixture& fixture() { return m_fixture; }
    const TemporaryFolder& elsewhere() const { return m_elsewhere; }
    AnsweringMessageBox& boxes() { return m_boxes; }
    const DragEventCounter& dragEvents() const { return m_dragEvents; }

    // Screen positions: on a row's name, and on the list below its last row.
    QPoint pointOnRow(const std::string& name);
    QPoint pointBelowRows();
    QStringList selectedNames();
    bool waitForRow(const std::string& name, int timeoutMs = 10000);
    bool waitForNoRow(const std::string& name, int timeoutMs = 10000);

    // Starts the test's peer with arguments at PeerGeometry and waits until its window is on the
    // screen; false (and a failed check) when it never got there.
    bool startPeer(const QString& mode, const QStringList& arguments);
    PeerProcess& peer() { return *m_peer; }
    // Plays the script at the pointer and keys; a failure carries what the peer said.
    ::testing::AssertionResult play(PointerScript& script);

private:
    ListFixture m_fixture;
    TemporaryFolder m_elsewhere;
    AnsweringMessageBox m_boxes { MessageBox::Answer::Ok };
    DragEventCounter m_dragEvents;
    std::unique_ptr<PeerProcess> m_peer;
};
