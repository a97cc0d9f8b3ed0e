#pragma once
// The program's general exception: a fixed English message naming the class or operation.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Re-raises the exception being handled with a line of the caller's own in front of its
// message, separated by carriage return and line feed.
[[noreturn]] void RaiseWithPrefix(const std::string& line);
