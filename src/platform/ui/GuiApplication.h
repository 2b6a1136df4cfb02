#pragma once

// The application object of a run: the one QApplication, the title and
// whether a person can see the windows.

#include <memory>
#include <string>

class QApplication;

namespace ui {

class GuiApplication {
public:
    // Creates the QApplication. Without a display (no DISPLAY, WAYLAND_DISPLAY
    // or QT_QPA_PLATFORM) Qt's offscreen platform is chosen first, so a run
    // on a server never fails for want of a screen. argc and argv must outlive
    // the object, as QApplication requires.
    GuiApplication(int& argc, char** argv);
    ~GuiApplication();
    GuiApplication(const GuiApplication&) = delete;
    GuiApplication& operator=(const GuiApplication&) = delete;

    // The executable's file name without its extension ("kalemar").
    static std::string Title();
    // The executable's file name as it is on disk ("kalemar").
    static std::string ModuleName();
    // True when windows are drawn on no screen (offscreen or minimal platform).
    static bool IsHeadless();

private:
    std::unique_ptr<QApplication> application_;
};

} // namespace ui
