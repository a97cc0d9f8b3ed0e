#pragma once
// The floating-point control word of the whole process.
#include <cstdint>

// 0x133F: all six exceptions masked, 64-bit precision, round to nearest.
constexpr std::uint16_t kMaskedFPUControlWord = 0x133F;

// Sets the x87 control word to 0x133F and masks every SSE exception (MXCSR bits 7..12, round
// to nearest), so a division by zero gives an infinity or NaN and never traps. OpenGL drivers
// may change the control words, so the engine calls this after loading and before each swap.
void MaskFPUExceptions();

// Current control words (for diagnostics and tests); 0 where the processor has none.
std::uint16_t GetX87ControlWord();
std::uint32_t GetSSEControlWord();
void SetX87ControlWord(std::uint16_t word);
void SetSSEControlWord(std::uint32_t word);
