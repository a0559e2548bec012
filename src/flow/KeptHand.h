#pragma once
// The hand in progress kept on disk (Hand.dat beside Name.dat) each time the
// game waits for the player, and laid out again when the program starts
// anew or Load Game asks for it. Thaddock's turn is never kept halfway: the
// last hand kept is always at a wait for the player.

namespace cardovia {

// Writes the table to Hand.dat if it changed since it was last kept (on a
// thread of its own: the wait never waits for the disk). At the results panel
// the hand is kept with its results.
void KeepHand(bool atResults);
// The game has ended or a new one starts: Hand.dat goes.
void ForgetKeptHand();
// Returns once every hand kept so far is on the disk.
void FlushKeptHand();
// Whether a Hand.dat lies beside the player file.
bool HandIsKept();
// Whether Hand.dat reads as a kept hand; one that does not is set aside as
// Hand.dat.bad and the player is told.
bool KeptHandReadable();
// Reads Hand.dat and lays the table out exactly as it was kept; false when
// there is none, or when it does not read (it is then set aside as
// Hand.dat.bad and the player is told).
bool ResumeKeptHand();

}  // namespace cardovia
