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

void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "drivanta";
        static char* argv[] = {name, nullptr};
        // Kept for the whole process on purpose: destroying it during static destruction would
        // race Qt's own global objects.
        static QApplication* application = new QApplication(argc, argv);
        (void)application;
    }
    // Run() ends the event loop when the window unloads; the application must not quit on its
    // own when the window hides, or a deferred close could end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    static const bool substituted = (SubstituteClassicFaces(), true);
    (void)substituted;
}

}  // namespace ui::qt
