#pragma once
// Mesa's GL vendor libraries load the hardware or software DRI driver (swrast_dri.so, which
// brings LLVM) when a display is first asked about GL, and unload it again when that display is
// closed. KeepGlDriverLoaded marks every loaded DRI driver as never to be unloaded: a process
// that closes its display and opens another (the dialog's preview after "Preview...", a test
// program) does not load it twice, and what the driver keeps for the process's life stays
// inside a named module, where leak checkers can tell it from the program's own.

// The number of DRI drivers marked by this call; 0 when none is loaded (yet) or an earlier call
// marked them. Safe on any thread.
int KeepGlDriverLoaded();
// True when a DRI driver is mapped in this process.
bool GlDriverMapped();
