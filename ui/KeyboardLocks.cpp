#include "ui/KeyboardLocks.h"

#include <cstdlib>

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace {

// The core protocol's modifier bits; Num Lock is the second modifier on every usual keymap.
constexpr uint16_t kLockMask = XCB_MOD_MASK_LOCK;
constexpr uint16_t kNumLockMask = XCB_MOD_MASK_2;

} // namespace

KeyboardLocks QueryKeyboardLocks()
{
    KeyboardLocks locks;
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return locks;
    xcb_connection_t* connection = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr)
        return locks;
    xcb_query_pointer_reply_t* reply
        = xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
    if (reply == nullptr)
        return locks;
    locks.capsLock = (reply->mask & kLockMask) != 0;
    locks.numLock = (reply->mask & kNumLockMask) != 0;
    std::free(reply);
    return locks;
}
