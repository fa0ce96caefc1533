// The test's own connection to its X server: screenshots, windows and popups.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "Image.h"

struct _XDisplay;

namespace e2e {

// An X window's id (and an atom), as Xlib's Window and Atom are; Xlib's header stays out of the
// tests, its macros (None, Bool, Status) clash with GoogleTest's names.
using WindowId = unsigned long;
using AtomId = unsigned long;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class XScreen {
  public:
    explicit XScreen(const std::string& display);
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    int Width() const;
    int Height() const;

    // Pixels of the root window, that is what the screen shows, in the given rectangle.
    QImage Grab(const Rect& area);

    // True once a window manager has announced itself on the root window.
    bool WindowManagerReady();
    // The managed, viewable top-level window of the process, if it has one.
    std::optional<WindowId> ClientWindowOf(pid_t pid);
    // Where the window's client area is on the screen, and its size.
    Rect Geometry(WindowId window);
    WindowId FocusedWindow();

    // Viewable menu popups (override-redirect windows on the root), the topmost last.
    std::vector<Rect> Popups();

    // Counts top-level windows that get mapped from now on (frames of managed windows included).
    void StartCountingMaps();
    int MapsCounted();

  private:
    AtomId Intern(const char* name);
    std::vector<unsigned long> CardinalProperty(WindowId window, AtomId property, AtomId type);

    _XDisplay* dpy_ = nullptr;
    WindowId root_ = 0;
    int maps_ = 0;
};

}  // namespace e2e
