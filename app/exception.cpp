#include "app/exception.h"

#include <exception>

void RaiseWithPrefix(const std::string& line) {
    try {
        throw;
    } catch (const std::exception& e) {
        throw Exception(line + "\r\n" + e.what());
    }
}
