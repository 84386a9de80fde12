#include "window/qt/QtApplication.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace ui::qt {

namespace {

// The faces the layouts name come from Windows; where they are missing, Liberation Sans has the
// same metrics as Arial, so text keeps the width the layout was designed for.
void SubstituteClassicFaces() {
    static const char* const kClassicFaces[] = {"Arial", "MS Sans Serif", "Microsoft Sans Serif"};
    for (const char* face : kClassicFaces) {
        if (!QFontDatabase::hasFamily(face))
            QFont::insertSubstitution(face, "Liberation Sans");
    }
}

}  // namespace

std::shared_ptr<QApplication> AcquireApplication() {
    static std::weak_ptr<QApplication> ours;
    std::shared_ptr<QApplication> application = ours.lock();
    if (!application && QApplication::instance() == nullptr) {
        // QApplication keeps references to these for its whole life.
        static int argc = 1;
        static char name[] = "drivanta";
        static char* argv[] = {name, nullptr};
        application = std::make_shared<QApplication>(argc, argv);
        ours = application;
    }
    // Run() ends the event loop when the window unloads; the application must not quit on its
    // own when the window hides, or a deferred close could end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    SubstituteClassicFaces();
    return application;
}

}  // namespace ui::qt
