#include "sim/random.h"

#include <cmath>

std::uint32_t RandomSeed = 7;
std::array<float, kRandomTableSize> RandomTable{};
std::int32_t TableCursor = 0;

namespace {

constexpr std::uint32_t kMultiplier = 0x08088405u;
constexpr long double kMinimumSpacing = 0.01L;
constexpr int kSpreadWindow = 25;

// Exact: the difference of two floats fits the extended format.
long double Distance(float a, float b) { return std::fabs(static_cast<long double>(a) - b); }

void Advance() { RandomSeed = RandomSeed * kMultiplier + 1u; }

bool FarEnough(float candidate, int first, int last) {
    for (int k = first; k <= last; ++k)
        if (Distance(RandomTable[k], candidate) < kMinimumSpacing) return false;
    return true;
}

bool Accepted(float c, int i) {
    if (i < kSpreadWindow) return FarEnough(c, 0, i - 1);
    if (!FarEnough(c, i - kSpreadWindow, i - 1)) return false;
    // Near the end, the entries just after the start of the cycle are also neighbours.
    if (i >= kRandomTableSize - kSpreadWindow) return FarEnough(c, 0, i - (kRandomTableSize - kSpreadWindow));
    return true;
}

// Fills the table when the program starts, before anything else draws from the generator.
const bool kTableFilledAtStart = [] {
    RandomSeed = 7;
    FillRandomTable();
    return true;
}();

}  // namespace

std::int32_t RandomInt(std::int32_t n) {
    Advance();
    return static_cast<std::int32_t>((static_cast<std::uint64_t>(RandomSeed) * static_cast<std::uint32_t>(n)) >> 32);
}

long double RandomFloat() {
    Advance();
    return static_cast<long double>(RandomSeed) * 0x1p-32L;
}

float TableNext() {
    if (TableCursor == kRandomTableSize) TableCursor = 0;
    return RandomTable[TableCursor++];
}

void FillRandomTable() {
    TableCursor = 0;
    RandomTable[0] = static_cast<float>(RandomFloat());
    for (int i = 1; i < kRandomTableSize; ++i) {
        float c;
        do c = static_cast<float>(RandomFloat());
        while (!Accepted(c, i));
        RandomTable[i] = c;
    }
}

bool RandomTableIsSpread() {
    for (int i = 0; i < kRandomTableSize; ++i)
        for (int d = 1; d <= kSpreadWindow; ++d) {
            const int j = (i + d) % kRandomTableSize;
            if (Distance(RandomTable[i], RandomTable[j]) < kMinimumSpacing) return false;
        }
    return true;
}
