#pragma once
#include <exception>
#include <string>

// The message of the exception f throws, or "(no exception)".
template <typename F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}
