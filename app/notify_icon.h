#pragma once
// The main window's icon in the notification area. Window thread only.

#include <cstdint>

#include "util/values.h"

// Makes a 16x16 icon from the ICO image and registers it, updates the
// registration with it, or (no image, or none can be made) removes the
// registration. The handle it replaces is destroyed.
void set_notify_icon(const Bytes& icon_image, const Text& tooltip);
// Registers the icon anew with a freshly made handle, for a shell that has
// forgotten the registration (its taskbar was recreated); the handle it
// replaces is destroyed.
void register_notify_icon_again(const Bytes& icon_image, const Text& tooltip);
// The icon handle shown now; 0 when no icon is registered.
uintptr_t notify_icon_handle();
