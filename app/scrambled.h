#pragma once
// Names the program keeps in its own text (registry value names, description file keys) are
// stored with every character complemented and complemented back right before use, so they do
// not appear as plain text in the program file.
#include <cstddef>
#include <string>

template <std::size_t N>
class TScrambled {
public:
    // Complemented at compile time: only the scrambled bytes reach the program.
    consteval TScrambled(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) data_[i] = static_cast<char>(~text[i]);
    }
    std::string Text() const {
        std::string text(N - 1, '\0');
        for (std::size_t i = 0; i + 1 < N; ++i) text[i] = static_cast<char>(~data_[i]);
        return text;
    }
    const char* Stored() const { return data_; }

private:
    char data_[N]{};
};
