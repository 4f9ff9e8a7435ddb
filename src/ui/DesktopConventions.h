#pragma once
// Where the window follows its desktop's conventions rather than its own
// look: the one place that tells macOS from the other desktops.

#include <QtGlobal>

namespace launcher::desktop {

#if defined(Q_OS_MACOS)
inline constexpr bool kIsMacOS = true;
#else
inline constexpr bool kIsMacOS = false;
#endif

// Enter presses a focused button, link or checkbox as Space does. On macOS
// Return belongs to the window's default button alone.
inline constexpr bool kEnterPressesFocusedControl = !kIsMacOS;

// File panels are Qt's own dialog, the same on every desktop, so that they
// can show the launcher's message. macOS keeps its native panel, which has
// no place for one.
inline constexpr bool kQtFilePanels = !kIsMacOS;

// macOS asks the player, in the launcher's name, before the launcher first
// looks inside the Desktop, Documents or Downloads folder. On macOS the window
// looks inside none of them before the player chooses one in a panel, which
// grants that access by itself: a name it suggests there is not checked first.
inline constexpr bool kLooksInsideTheDesktopUnasked = !kIsMacOS;

} // namespace launcher::desktop
