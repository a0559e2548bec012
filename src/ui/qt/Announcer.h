#pragma once
// Speaks a line of words through the desktop's screen reader without moving
// the keyboard's focus.

#include <QObject>
#include <QString>

class QWidget;

namespace cardovia::qt {

class Announcer : public QObject {
  public:
    explicit Announcer(QWidget* window);
    // Hands the words to a listening screen reader; nothing when none listens.
    void Say(const QString& words);

  private:
    QWidget* window_;
};

}  // namespace cardovia::qt
