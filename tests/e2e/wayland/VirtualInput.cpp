#include "VirtualInput.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "virtual-keyboard-client.h"
#include "virtual-pointer-client.h"
#include "xdg-activation-v1-client.h"

namespace e2e {

namespace {

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    static_cast<VirtualInput*>(data)->Announce(registry, name, interface, version);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener RegistryListener{OnGlobal, OnGlobalRemove};

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};

// The keymap of a plain US keyboard, as text the compositor hands on to the clients.
std::string UsKeymap(unsigned* shiftMask, unsigned* ctrlMask) {
    std::unique_ptr<xkb_context, Deleter<xkb_context, xkb_context_unref>> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    std::unique_ptr<xkb_keymap, Deleter<xkb_keymap, xkb_keymap_unref>> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) throw std::runtime_error("xkbcommon made no US keymap");
    *shiftMask = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT);
    *ctrlMask = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_CTRL);
    char* text = xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    std::string out(text);
    std::free(text);
    return out;
}

}  // namespace

VirtualInput::VirtualInput(const std::string& socket, int width, int height)
    : width_(width), height_(height) {
    display_ = wl_display_connect(socket.c_str());
    if (display_ == nullptr) throw std::runtime_error("cannot connect to " + socket);
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &RegistryListener, this);
    wl_display_roundtrip(display_);
    if (seat_ == nullptr || pointers_ == nullptr || keyboards_ == nullptr)
        throw std::runtime_error("the compositor offers no virtual pointer or keyboard");

    pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers_, seat_);
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards_, seat_);
    const std::string keymap = UsKeymap(&shiftMask_, &ctrlMask_);
    const int fd = ::memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 ||
        ::write(fd, keymap.c_str(), keymap.size() + 1) != static_cast<ssize_t>(keymap.size() + 1))
        throw std::runtime_error("cannot hand the keymap over");
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(keymap.size() + 1));
    Flush();
    ::close(fd);
}

VirtualInput::~VirtualInput() {
    if (keyboard_ != nullptr) zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (pointer_ != nullptr) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (activation_ != nullptr) xdg_activation_v1_destroy(activation_);
    if (pointers_ != nullptr) zwlr_virtual_pointer_manager_v1_destroy(pointers_);
    if (keyboards_ != nullptr) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(keyboards_));
    if (seat_ != nullptr) wl_seat_destroy(seat_);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    if (display_ != nullptr) wl_display_disconnect(display_);
}

void VirtualInput::Announce(wl_registry* registry, unsigned name, const char* interface, unsigned) {
    const std::string is(interface);
    if (is == wl_seat_interface.name && seat_ == nullptr) {
        seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (is == zwlr_virtual_pointer_manager_v1_interface.name) {
        pointers_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (is == xdg_activation_v1_interface.name) {
        activation_ = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    } else if (is == zwp_virtual_keyboard_manager_v1_interface.name) {
        keyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

// Waits until the compositor has taken in every request sent, so what comes next (a screenshot,
// a query) sees their effect on the seat.
void VirtualInput::Flush() {
    if (wl_display_roundtrip(display_) < 0)
        throw std::runtime_error("the compositor closed the test's input connection");
}

unsigned VirtualInput::Now() const {
    using namespace std::chrono;
    return static_cast<unsigned>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void VirtualInput::MoveTo(int x, int y) {
    zwlr_virtual_pointer_v1_motion_absolute(pointer_, Now(), static_cast<uint32_t>(x),
                                            static_cast<uint32_t>(y), static_cast<uint32_t>(width_),
                                            static_cast<uint32_t>(height_));
    zwlr_virtual_pointer_v1_frame(pointer_);
    Flush();
}

void VirtualInput::Button(unsigned code, bool down) {
    zwlr_virtual_pointer_v1_button(
        pointer_, Now(), code,
        down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer_);
    Flush();
}

void VirtualInput::Wheel(int notches) {
    zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(pointer_, Now(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                          wl_fixed_from_int(15 * notches), notches);
    zwlr_virtual_pointer_v1_frame(pointer_);
    Flush();
}

void VirtualInput::Key(unsigned code, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, Now(), code,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    unsigned mask = 0;
    if (code == KEY_LEFTSHIFT) mask = shiftMask_;
    if (code == KEY_LEFTCTRL) mask = ctrlMask_;
    if (mask != 0) {
        mods_ = down ? (mods_ | mask) : (mods_ & ~mask);
        zwp_virtual_keyboard_v1_modifiers(keyboard_, mods_, 0, 0, 0);
    }
    Flush();
}

namespace {

void OnToken(void* data, xdg_activation_token_v1*, const char* token) {
    *static_cast<std::string*>(data) = token;
}
const xdg_activation_token_v1_listener TokenListener{OnToken};

}  // namespace

std::string VirtualInput::ActivationToken() {
    if (activation_ == nullptr) return {};
    std::string token;
    xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(activation_);
    xdg_activation_token_v1_add_listener(request, &TokenListener, &token);
    xdg_activation_token_v1_commit(request);
    Flush();
    xdg_activation_token_v1_destroy(request);
    return token;
}

}  // namespace e2e
