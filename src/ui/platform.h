#pragma once

namespace pylons {

// Settles, before the application object exists, how Qt talks to the desktop. The game draws
// with widgets only, never with OpenGL, so as a Wayland client it hands the compositor buffers
// in shared memory and loads no EGL or GPU driver: a quicker start, less memory, and no driver
// code left to run at exit. A player who names a buffer integration keeps it.
void PrepareDesktopPlatform();

} // namespace pylons
