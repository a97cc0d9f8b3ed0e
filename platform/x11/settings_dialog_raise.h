#pragma once
// The open settings dialog of another instance, found on the X server by the property its window
// carries, brought to the front.

// The property the GTK dialog's top-level window carries (its process id, CARDINAL).
inline constexpr char kSettingsDialogAtom[] = "_TIDEWELL_SETTINGS_DIALOG";

// Asks the window manager (EWMH _NET_ACTIVE_WINDOW) to activate the dialog and raises it and
// gives it the focus itself for a server without one. False when no viewable dialog is found or
// no display opens.
bool RaiseSettingsDialog();
