#pragma once

// Whether Caps Lock and Num Lock are on, for the status bar's "MAJ" and "NUM" panes. Known only on
// an X11 display; elsewhere both read as off.

struct KeyboardLocks {
    bool capsLock = false;
    bool numLock = false;
};

KeyboardLocks QueryKeyboardLocks();
