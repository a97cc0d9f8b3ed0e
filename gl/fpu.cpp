#include "gl/fpu.h"

#if defined(__x86_64__) || defined(__i386__)

std::uint16_t GetX87ControlWord() {
    std::uint16_t word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void SetX87ControlWord(std::uint16_t word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }

std::uint32_t GetSSEControlWord() {
    std::uint32_t word = 0;
    __asm__ __volatile__("stmxcsr %0" : "=m"(word));
    return word;
}

void SetSSEControlWord(std::uint32_t word) { __asm__ __volatile__("ldmxcsr %0" : : "m"(word)); }

void MaskFPUExceptions() {
    SetX87ControlWord(kMaskedFPUControlWord);
    // Keep the sticky flags and denormal modes; set the six masks, clear the rounding bits.
    constexpr std::uint32_t kMasks = 0x1F80, kRounding = 0x6000;
    SetSSEControlWord((GetSSEControlWord() | kMasks) & ~kRounding);
}

#else

std::uint16_t GetX87ControlWord() { return 0; }
void SetX87ControlWord(std::uint16_t) {}
std::uint32_t GetSSEControlWord() { return 0; }
void SetSSEControlWord(std::uint32_t) {}
void MaskFPUExceptions() {}

#endif
