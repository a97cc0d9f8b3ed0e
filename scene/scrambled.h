#pragma once
// Names the program keeps in its own text (option value names, description-file sections and
// keys) are stored with every character complemented, so they do not show in the binary as
// plain text; Plain() turns them back right before use.
#include <array>
#include <cstddef>
#include <string>

template <std::size_t N>
struct Scrambled {
    std::array<char, N - 1> bytes;

    std::string Plain() const {
        std::string text(bytes.size(), '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<char>(~bytes[i]);
        return text;
    }
};

template <std::size_t N>
consteval Scrambled<N> Scramble(const char (&text)[N]) {
    Scrambled<N> s{};
    for (std::size_t i = 0; i + 1 < N; ++i) s.bytes[i] = static_cast<char>(~text[i]);
    return s;
}
