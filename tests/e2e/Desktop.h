// The desktop a test's game runs on: a private display server with its window manager, read
// back in pixels and driven with a mouse and keyboard the way a player drives it. Two kinds
// stand behind one interface, so every end-to-end test runs on both: X11 (Xvfb with openbox)
// and Wayland (a headless sway).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Image.h"

namespace e2e {

// A top-level window as the desktop names it: an X window id, or a sway container id.
using WindowId = unsigned long;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct DesktopOptions {
    int width = 1024;
    int height = 768;
    int scale = 1;       // device pixels per logical pixel
    std::string logDir;  // the servers' logs go here
};

class Desktop {
  public:
    virtual ~Desktop() = default;

    // What the game needs in its environment to show on this desktop.
    virtual std::vector<std::string> GameEnv() const = 0;
    // What a launcher adds for one program it starts, such as the token that lets it take the
    // focus on Wayland.
    virtual std::vector<std::string> LauncherEnv() { return {}; }

    // The screen's size in logical pixels, and device pixels per logical pixel.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int Scale() const { return 1; }

    // What the screen shows in the area (logical pixels), in device pixels.
    virtual QImage Grab(const Rect& area) = 0;

    // The process's top-level window, once it is mapped.
    virtual std::optional<WindowId> ClientWindowOf(pid_t pid) = 0;
    // Where the window's client area is on the screen, and its size, in logical pixels.
    virtual Rect Geometry(WindowId window) = 0;
    virtual std::string Title(WindowId window) = 0;
    virtual std::optional<WindowId> FocusedWindow() = 0;
    // Gives the window the focus, as a click on it in a task bar would.
    virtual void Activate(WindowId window) = 0;
    // Whether a window that asks for the focus with the right to it also comes to the front.
    virtual bool RaisesOnActivation() const { return true; }

    // Open menu popups, the one opened last at the back.
    virtual std::vector<Rect> Popups() = 0;

    // Counts top-level windows that appear from now on.
    virtual void StartCountingWindows() = 0;
    virtual int WindowsCounted() = 0;

    // Input. Buttons as X numbers them: 1 the left, 4 and 5 a wheel notch up and down.
    virtual void MoveTo(int x, int y) = 0;
    virtual void Click(int button, int times = 1,
                       std::chrono::milliseconds gap = std::chrono::milliseconds(60)) = 0;
    // Keys by their X names, modifiers joined with '+': "Escape", "F1", "ctrl+Left".
    virtual void Key(const std::string& keys) = 0;
    virtual void KeyDown(const std::string& key) = 0;
    virtual void KeyUp(const std::string& key) = 0;
};

// Which desktop the tests run on: KOVELINT_E2E_DESKTOP=x11 (the default) or wayland.
std::string DesktopKind();

// The desktop of that kind, started; throws when it cannot start.
std::unique_ptr<Desktop> StartDesktop(const std::string& kind, const DesktopOptions& options);
std::unique_ptr<Desktop> StartX11(const DesktopOptions& options);
std::unique_ptr<Desktop> StartSway(const DesktopOptions& options);

}  // namespace e2e
