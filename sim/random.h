#pragma once
// The two random sources of the simulation: a linear congruential generator (bubbles) and a
// table of 100 well-spread numbers drawn from it once (fish). Both are process-wide and seeded
// with 7, so every run produces the same sequences.
#include <array>
#include <cstdint>

inline constexpr int kRandomTableSize = 100;

extern std::uint32_t RandomSeed;
extern std::array<float, kRandomTableSize> RandomTable;
extern std::int32_t TableCursor;

// 0 .. n-1 for n > 0: the upper half of the 64-bit product of the advanced state and n.
std::int32_t RandomInt(std::int32_t n);
// [0, 1): the advanced state times 2^-32.
long double RandomFloat();
// The next table entry, cycling after the last.
float TableNext();
// Refills the table from the generator and resets the cursor. Runs once at program start
// (after RandomSeed := 7); exposed so tests can rebuild the table from a known seed.
void FillRandomTable();
// True when entries at most 25 places apart in the cycle differ by at least 0.01.
bool RandomTableIsSpread();
