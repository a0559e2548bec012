#include "flow/Options.h"

#include "layout/FollowMouse.h"
#include "model/Settings.h"
#include "opponent/ExpertThaddock.h"
#include "scoring/ReadAndSave.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <string>

namespace cardovia {

namespace {

// Sets nothing itself: tells the player the option now in force and keeps it.
void Confirm(const std::string& title, const std::string& message) {
    ShowMessageDialog(PlayerName + message, "O.K.", "", "", kPictureNotice, title);
    SavePlayerFile();
}

}  // namespace

void MnuName_Click() {
    const bool change = Sys().AskYesNo(
        "Please enter your name",
        " Welcome " + PlayerName + " if you wish to change the Player's name click on 'Yes' ");
    if (!change) return;
    // Cancelling the input box gives an empty name, and the empty name is kept.
    PlayerName = Sys().InputBox("Enter your name", "Please enter new player's name.");
    TableForm& f = Frmtable();
    f.LblPlayer.caption = f.lblPnameScore.caption = PlayerName;
    SavePlayerFile();
}

void MnuFast_Click() {
    SpeedDelay = kFastSpeed;
    ShowThaddockChoice();
    Confirm("Quicker Play", " the game will now play quickly until you change it again");
}

void MnuMed_Click() {
    SpeedDelay = kMediumSpeed;
    ShowThaddockChoice();
    Confirm("Normal Play", " the game will now play at a normal rate until you change it again");
}

void MnuSlow_Click() {
    SpeedDelay = kSlowSpeed;
    ShowThaddockChoice();
    Confirm("Slow Play", " the game will now play slowly until you change it again");
}

void MnuBlue_Click() {
    CardBack = true;
    ShowThaddockChoice();
    Confirm("Blue card backs", " card backs will now be blue colour until you change to red");
}

void MnuRed_Click() {
    CardBack = false;
    ShowThaddockChoice();
    Confirm("Red card backs", " card backs will now be red colour until you change to blue");
}

void MnuLearn_Click() {
    TableForm& f = Frmtable();
    if (LearningMode) {
        f.MnuLearn.caption = "Learning Mode Off";
        LearningMode = false;
        // Said once more although the mode is already off.
        ShowMessageDialog("Learning Mode is now off. Click button again to turn on", "Continue", "",
                          "", kPictureNotice, "Learning Message");
    } else {
        f.MnuLearn.caption = "Learning Mode On";
        LearningMode = true;
        LearningMessage("Learning Mode is now on. Click button again to turn off");
    }
}

void FramResults_MouseDown(i16) {
    TableForm& f = Frmtable();
    FollowMouse.SetObject(&f.FramResults);
    ZOrder(f.FramResults);
    FollowMouse.SetEnabled(true);
}

void FramResults_MouseUp(i16) {
    FollowMouse.SetEnabled(false);
}

void ShowThaddockChoice() {
    TableForm& f = Frmtable();
    // The speeds and the backs are each one choice of a few: the one in force is
    // checked. A speed read from a player file that is none of the three checks none.
    f.MnuFast.checked = SpeedDelay == kFastSpeed;
    f.MnuMed.checked = SpeedDelay == kMediumSpeed;
    f.MnuSlow.checked = SpeedDelay == kSlowSpeed;
    f.MnuBlue.checked = CardBack;
    f.MnuRed.checked = !CardBack;
    f.MnuClassic.checked = ThaddockPlays == ThaddockLevel::Classic;
    f.MnuExpert.checked = ThaddockPlays == ThaddockLevel::Expert;
    f.MnuMaster.checked = ThaddockPlays == ThaddockLevel::Master;
    f.MnuSound.checked = SoundOn;
    f.MnuSmooth.checked = SmoothMotion;
    f.MnuFourColour.checked = FourColourSuits;
}

namespace {

void ChooseThaddock(ThaddockLevel level) {
    ThaddockPlays = level;
    ShowThaddockChoice();
    SavePreferences();
}

}  // namespace

void MnuClassic_Click() {
    ChooseThaddock(ThaddockLevel::Classic);
}

void MnuExpert_Click() {
    ChooseThaddock(ThaddockLevel::Expert);
}

void MnuMaster_Click() {
    ChooseThaddock(ThaddockLevel::Master);
}

namespace {

void TurnOver(bool& option) {
    option = !option;
    ShowThaddockChoice();
    SavePreferences();
}

}  // namespace

void MnuSound_Click() {
    TurnOver(SoundOn);
}

void MnuSmooth_Click() {
    TurnOver(SmoothMotion);
}

void MnuFourColour_Click() {
    TurnOver(FourColourSuits);
}

void MnuChart_Click() {
    Sys().ShowScoreChart();
}

void MnuHistory_Click() {
    Sys().ShowGameHistory();
}

}  // namespace cardovia
