#pragma once
// The target score a side must reach to end the game, set on the target panel.

#include <optional>
#include <string>

#include "model/Card.h"

namespace cardovia {

inline constexpr i16 kLowestTarget = 500;
inline constexpr i16 kHighestTarget = 5000;

void MnuTarget_Click();
void CmdTarget_Click();

// The panel's text as a 16-bit whole number: blanks around it allowed, a
// fraction rounded to the nearest whole number, halves to even. Throws the
// "Type mismatch" error for a text that is no number and "Overflow" for a
// number beyond 16 bits.
i16 TargetFromText(const std::string& text);

}  // namespace cardovia
