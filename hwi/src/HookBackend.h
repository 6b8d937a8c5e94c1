#pragma once
// The platform half of the keyboard capture. KeyboardHook.cpp keeps the target and the
// order of things; exactly one backend file (X11, Windows or null), chosen by CMake,
// implements these. They are called with the capture's control lock held, never
// concurrently.

namespace hookbackend {

// Starts capturing: from now on every key event goes to KeyBoardProc until stop(). False
// when the capture cannot be had; nothing is left running then.
bool start();

// Stops capturing. When it returns KeyBoardProc is no longer called by the backend and the
// keyboard belongs to the desktop again. Does nothing when not started.
void stop();

// Whether start() has a chance at all, without taking anything.
bool available();

}  // namespace hookbackend
