// A mouse and a keyboard of the test's own on a wlroots compositor's seat, made with its virtual
// pointer and virtual keyboard. One of each lasts the whole test: a keyboard made per key press
// makes clients drop keys while they take in each new keymap.
#pragma once

#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct xdg_activation_v1;

namespace e2e {

class VirtualInput {
  public:
    // Connects to the compositor's socket (a path) for a layout of the given logical size.
    VirtualInput(const std::string& socket, int width, int height);
    ~VirtualInput();
    VirtualInput(const VirtualInput&) = delete;
    VirtualInput& operator=(const VirtualInput&) = delete;

    void MoveTo(int x, int y);
    // Linux's button codes (BTN_LEFT ...).
    void Button(unsigned code, bool down);
    // Wheel notches: positive scrolls down.
    void Wheel(int notches);
    // Linux's key codes (KEY_ESC ...); Shift and Ctrl also set the modifiers they stand for.
    void Key(unsigned code, bool down);

    // A token for handing the focus to another client, asked for as a launcher asks for one for
    // the program it starts; empty when the compositor gives none.
    std::string ActivationToken();

    // Binds what the registry announces; for the C callbacks only.
    void Announce(wl_registry* registry, unsigned name, const char* interface, unsigned version);

  private:
    void Flush();
    unsigned Now() const;

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards_ = nullptr;
    xdg_activation_v1* activation_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    unsigned shiftMask_ = 0;
    unsigned ctrlMask_ = 0;
    unsigned mods_ = 0;
};

}  // namespace e2e
