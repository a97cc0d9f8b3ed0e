#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a note the loop reads: the handler sets a flag and writes
// a byte to a pipe, which wakes a poll on the pipe's read end. One per process, shared by the
// display platforms' window systems and the GTK loop.

// The pipe's read end, readable from the first watched signal on, also once the loop has taken
// it: a modal box watches it to give way, even one opened after the stop began. Made on first
// use, so the dialog's loop can watch it from its start; -1 when no pipe could be made.
int QuitSignalPipe();
// From now on the three signals are noted rather than ending the process; a signal that came
// before does not count.
void WatchQuitSignalsFromNow();
// A noted signal not taken yet; takes it.
bool TakeQuitSignal();
// A signal not taken yet, without taking it.
bool QuitSignalPending();
// Any signal noted since the watch began, taken or not: the run ends as asked.
bool QuitSignalSeen();
