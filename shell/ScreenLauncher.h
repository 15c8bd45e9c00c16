#pragma once
// How the main window opens a feature screen: create it with the application
// as owner (not the main window), publish it in the screen's process-wide
// reference, show it modally and destroy it when the modal loop ends. Nothing
// of a screen survives between two openings; the main window's timers keep
// running while the screen is up.

#include <memory>

template <class Screen>
void launchScreen(Screen*& reference)
{
    std::unique_ptr<Screen> screen(new Screen(nullptr));
    reference = screen.get();
    screen->exec();
    screen.reset();
    // Cleared once the screen is gone, so completion handlers that arrive
    // later find no screen instead of a dangling one.
    reference = nullptr;
}
