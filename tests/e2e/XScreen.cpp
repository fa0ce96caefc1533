#include "XScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdexcept>

namespace e2e {

namespace {

// Windows come and go under our feet (menus close, games end); a request on one that has just
// gone is not a failure of the test.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

XScreen::XScreen(const std::string& display) {
    dpy_ = XOpenDisplay(display.c_str());
    if (dpy_ == nullptr) throw std::runtime_error("cannot open display " + display);
    XSetErrorHandler(IgnoreXErrors);
    root_ = DefaultRootWindow(dpy_);
}

XScreen::~XScreen() {
    if (dpy_ != nullptr) XCloseDisplay(dpy_);
}

int XScreen::Width() const {
    return DisplayWidth(dpy_, DefaultScreen(dpy_));
}

int XScreen::Height() const {
    return DisplayHeight(dpy_, DefaultScreen(dpy_));
}

Atom XScreen::Intern(const char* name) {
    return XInternAtom(dpy_, name, False);
}

QImage XScreen::Grab(const Rect& area) {
    XImage* xi = XGetImage(dpy_, root_, area.x, area.y, static_cast<unsigned>(area.width),
                           static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (xi == nullptr) throw std::runtime_error("XGetImage failed");
    // The 24-bit screen as 32-bit little-endian words 0x??RRGGBB, which is Qt's RGB32.
    const bool rgb32 = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst &&
                       xi->red_mask == 0xFF0000 && xi->green_mask == 0xFF00 &&
                       xi->blue_mask == 0xFF;
    const QImage img = rgb32 ? QImage(reinterpret_cast<const uchar*>(xi->data), area.width,
                                      area.height, xi->bytes_per_line, QImage::Format_RGB32)
                                   .copy()
                             : QImage();
    XDestroyImage(xi);
    if (img.isNull()) throw std::runtime_error("the screen is not 24-bit RGB");
    return img;
}

std::vector<unsigned long> XScreen::CardinalProperty(Window window, Atom property, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(dpy_, window, property, 0, 4096, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    return values;
}

bool XScreen::WindowManagerReady() {
    return !CardinalProperty(root_, Intern("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW).empty();
}

std::optional<Window> XScreen::ClientWindowOf(pid_t pid) {
    const Atom pidAtom = Intern("_NET_WM_PID");
    for (unsigned long w : CardinalProperty(root_, Intern("_NET_CLIENT_LIST"), XA_WINDOW)) {
        const auto pids = CardinalProperty(w, pidAtom, XA_CARDINAL);
        if (pids.empty() || static_cast<pid_t>(pids[0]) != pid) continue;
        XWindowAttributes attrs;
        if (XGetWindowAttributes(dpy_, w, &attrs) && attrs.map_state == IsViewable) return w;
    }
    return std::nullopt;
}

Rect XScreen::Geometry(Window window) {
    XWindowAttributes attrs{};
    XGetWindowAttributes(dpy_, window, &attrs);
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(dpy_, window, root_, 0, 0, &x, &y, &child);
    return {x, y, attrs.width, attrs.height};
}

Window XScreen::FocusedWindow() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy_, &focus, &revert);
    return focus;
}

std::vector<Rect> XScreen::Popups() {
    Window rootRet = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Rect> popups;
    if (!XQueryTree(dpy_, root_, &rootRet, &parent, &children, &count)) return popups;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(dpy_, children[i], &attrs)) continue;
        if (attrs.map_state != IsViewable || !attrs.override_redirect) continue;
        if (attrs.width < 16 || attrs.height < 16) continue;
        popups.push_back({attrs.x, attrs.y, attrs.width, attrs.height});
    }
    if (children != nullptr) XFree(children);
    return popups;
}

void XScreen::StartCountingMaps() {
    XSelectInput(dpy_, root_, SubstructureNotifyMask);
    XSync(dpy_, True);
    maps_ = 0;
}

int XScreen::MapsCounted() {
    XSync(dpy_, False);
    while (XPending(dpy_) > 0) {
        XEvent got;
        XNextEvent(dpy_, &got);
        if (got.type == MapNotify && !got.xmap.override_redirect) ++maps_;
    }
    return maps_;
}

}  // namespace e2e
