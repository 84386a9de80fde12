#include "tools/screenshot/Screenshot.h"

#include <QPixmap>
#include <cstdio>

#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace screenshot {

int SaveWindowPng(ui::Window& window, const std::string& path) {
    auto* qtWindow = dynamic_cast<ui::qt::QtWindow*>(&window);
    if (qtWindow == nullptr) {
        std::fprintf(stderr, "screenshot: not a window of the Qt window layer\n");
        return 1;
    }
    // Lets pending layout and paint work settle before the picture is taken.
    window.ProcessEvents();
    if (!qtWindow->TopLevel()->grab().save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

int RenderLayoutToPng(const ui::FormLayout& layout, const std::string& path,
                      const std::function<void(ui::Window&)>& fill) {
    auto window = ui::CreatePlatformWindow(layout);
    window->Show();
    if (fill)
        fill(*window);
    return SaveWindowPng(*window, path);
}

}  // namespace screenshot
