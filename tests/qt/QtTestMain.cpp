// The Qt window tests need one QApplication for the whole run, and no display: test discovery
// runs this binary without the test's environment, so the offscreen platform is chosen here.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>

#include "window/qt/OffscreenScreen.h"

int main(int argc, char** argv) {
    // What a window remembers (a folded chart) goes to a folder of this run, not the user's.
    const QByteArray config = QDir::tempPath().toUtf8() + "/qt-window-tests-" +
                              QByteArray::number(QCoreApplication::applicationPid());
    qputenv("XDG_CONFIG_HOME", config);
    // A screen that holds every window whole: only a test that asks for a short screen scrolls.
    ui::qt::ChooseRoomyOffscreenScreen(QString::fromUtf8(config));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    const int status = RUN_ALL_TESTS();
    QDir(QString::fromUtf8(config)).removeRecursively();
    return status;
}
