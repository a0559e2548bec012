#pragma once
// The options: the player's name, the play speed and the card backs, each
// written to the player file as soon as it changes.

#include "model/Card.h"

namespace cardovia {

void MnuName_Click();
void MnuFast_Click();
void MnuMed_Click();
void MnuSlow_Click();
void MnuBlue_Click();
void MnuRed_Click();
// Turns Learning Mode on or off and says so.
void MnuLearn_Click();
// Which Thaddock plays, kept in the preferences file; the change holds from his
// next decision on.
void MnuClassic_Click();
void MnuExpert_Click();
void MnuMaster_Click();
// Sound, Smooth Motion and Four-Colour Suits, each turned over and kept in
// the preferences file.
void MnuSound_Click();
void MnuSmooth_Click();
void MnuFourColour_Click();
// The Statistics menu's two windows.
void MnuChart_Click();
void MnuHistory_Click();
// The menu's check marks for the choices in force.
void ShowThaddockChoice();
// The results panel can be dragged out of the way.
void FramResults_MouseDown(i16 button);
void FramResults_MouseUp(i16 button);

}  // namespace cardovia
