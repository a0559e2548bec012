#pragma once
// One copy of the game at a time for each player's directory. Two copies sharing Name.dat,
// Cardovia.ini and History.csv would each save over the other's statistics, so a second start
// asks the copy already running to come to the front and ends without touching any of them.
// A copy of the game kept elsewhere, with its own files, is a different player and may run.

#include <QLocalServer>
#include <QLockFile>
#include <QString>

class QWidget;

namespace cardovia::app {

// What a second start says when the running copy does not answer (it hangs, or it is stopped).
inline constexpr const char* kAlreadyRunning = "Cardovia is already running.\n";
inline constexpr int kAlreadyRunningExitCode = 1;

// How long a second start waits for the running copy: the time it may take to open its window
// when both were started together, and to answer once it has.
inline constexpr int kAnswerWaitMs = 5000;

class SingleInstance {
  public:
    enum class Claim {
        Play,         // this copy is the one: the game starts
        OtherShown,   // the running copy came to the front: this one ends at once
        OtherSilent,  // a copy holds the directory but did not answer: this one ends too
    };

    // `directory` holds the player's files.
    explicit SingleInstance(const QString& directory);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the directory's lock, or asks the copy that holds it to show itself. A lock left by a
    // copy that was killed is taken over. Where the directory cannot hold a lock at all, nothing
    // of the player's can be saved there either, and the game starts.
    Claim ClaimDirectory();

    // From now on a later start brings `window` to the front, with any dialog open over it.
    void ShowOnRequest(QWidget* window);

  private:
    // Whether the copy holding the lock answered that it came to the front. It is given the time
    // to start listening; should it end meanwhile, this copy takes the lock instead.
    bool AskRunningCopyToShow();

    QString directory_;
    QLockFile lock_;
    QString serverName_;
    QLocalServer server_;
};

}  // namespace cardovia::app
