#include "platform/qt/CapsLock.h"

#include <QGuiApplication>
#include <QWidget>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#if __has_include(<xcb/xproto.h>) && __has_include(<QtGui/qguiapplication_platform.h>)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xproto.h>
#define TONEWELL_QUERY_XCB 1
#endif

namespace tonewell {

namespace {

#ifdef TONEWELL_QUERY_XCB
// The XCB library is already loaded by the platform plugin when Qt runs on X11; its functions are
// looked up there rather than linked, so the program needs no further library.
std::optional<bool> XcbCapsLock(const QWidget* widget) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !widget) return std::nullopt;
    static void* const library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return std::nullopt;
    using Query = xcb_query_pointer_cookie_t (*)(xcb_connection_t*, xcb_window_t);
    using Reply = xcb_query_pointer_reply_t* (*)(xcb_connection_t*, xcb_query_pointer_cookie_t, xcb_generic_error_t**);
    static const auto query = reinterpret_cast<Query>(dlsym(library, "xcb_query_pointer"));
    static const auto reply = reinterpret_cast<Reply>(dlsym(library, "xcb_query_pointer_reply"));
    if (!query || !reply) return std::nullopt;
    // The top-level window is native already; asking a child for its id would make it native.
    const auto window = static_cast<xcb_window_t>(widget->window()->winId());
    xcb_generic_error_t* error = nullptr;
    xcb_query_pointer_reply_t* answer = reply(x11->connection(), query(x11->connection(), window), &error);
    std::free(error);
    if (!answer) return std::nullopt;
    const bool locked = (answer->mask & XCB_MOD_MASK_LOCK) != 0;
    std::free(answer);
    return locked;
}
#endif

std::optional<bool> CapsLockLight() {
    std::error_code error;
    std::filesystem::directory_iterator leds("/sys/class/leds", error);
    if (error) return std::nullopt;
    std::optional<bool> state;
    for (const auto& entry : leds) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 9 || name.compare(name.size() - 9, 9, ":capslock") != 0) continue;
        std::ifstream brightness(entry.path() / "brightness");
        int value = 0;
        if (!(brightness >> value)) continue;
        state = state.value_or(false) || value != 0;
    }
    return state;
}

}  // namespace

std::optional<bool> CapsLockState(const QWidget* widget) {
#ifdef TONEWELL_QUERY_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return XcbCapsLock(widget);
#endif
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return std::nullopt;
    return CapsLockLight();
}

}  // namespace tonewell
