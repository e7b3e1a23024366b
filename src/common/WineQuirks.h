#pragma once
// Where Wine (as it runs here: no window manager, no compositor) behaves
// unlike Windows, and what the program does about it. The program is
// written for Windows; it calls these at the few places where the two
// differ, and each one leaves the Windows behaviour as it is.
#include <windows.h>

namespace ScreenCapture {
namespace WineQuirks {

// True when the program runs under Wine (its ntdll exports wine_get_version).
bool RunningUnderWine();

// Owned pop-ups stay above their owner.
// Windows: an owned window is kept above its owner, also when the owner is
// activated.
// Wine without a window manager: activating the owner stacks it over its
// pop-ups on the display, though not in its window list.
// Work-around: under Wine, map the pop-up again (hidden, then shown without
// activating it), which puts it back on top. Nothing on Windows.
void RestackAboveOwner(HWND popup);

// Looking through a layered window's transparent pixels.
// Windows: WindowFromPoint passes over a layered window where its pixels are
// fully transparent and answers the window below.
// Wine: the transparent pixels are cut out of the window's shape on the
// display only; WindowFromPoint still answers the layered window there.
// Work-around: where WindowFromPoint answers `self` (or a window inside it),
// walk down the Z order below `self` to the first visible window of another
// process under `at`, then to its innermost child there (null when there is
// none). Elsewhere, what WindowFromPoint answers.
HWND WindowBelow(HWND self, POINT at);

// The wheel over a layered window's transparent hole.
// Windows: the wheel goes to the window below the hole.
// Wine: the layered window receives it (the injected wheels of mouse_event
// in particular).
// Work-around: `self`, having received a wheel message it did not want,
// posts it on to the window WindowBelow finds, when that belongs to another
// process. On Windows the message never comes.
void ForwardWheel(HWND self, WPARAM wParam, LPARAM lParam);

}  // namespace WineQuirks
}  // namespace ScreenCapture
