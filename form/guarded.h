#pragma once
// Runs one release step of an error or end path: a failing step must not keep the message from
// being shown, the next step from running or the program from closing.
template <typename F>
void Guarded(F step) {
    try {
        step();
    } catch (...) {
    }
}
