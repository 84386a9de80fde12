// screenshot <layout-name> <out.png>
// Renders the named window offscreen (no display needed) and saves it as PNG.
#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>
#include <cstdio>
#include <string>

#include "tools/screenshot/Screenshot.h"
#include "tools/screenshot/ScreenshotSubjects.h"
#include "window/qt/OffscreenScreen.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: screenshot <layout-name> <out.png>\nlayouts:");
    for (const auto& [name, subject] : screenshot::Subjects())
        std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Usage();
    const auto& subjects = screenshot::Subjects();
    auto it = subjects.find(argv[1]);
    if (it == subjects.end())
        return Usage();
    // The window whole, as on a screen with room for it; QT_QPA_PLATFORM with a screen of its own
    // (offscreen:configfile=...) shows it as that screen would.
    const QTemporaryDir screen;
    ui::qt::ChooseRoomyOffscreenScreen(screen.path());
    // Owned here rather than by the window layer, so that it is torn down before the process ends.
    QApplication application(argc, argv);
    return screenshot::RenderLayoutToPng(it->second.layout(), argv[2], it->second.fill);
}
