#pragma once
// Speaks a line of words through the desktop's screen reader without moving
// the keyboard's focus.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>

class QWidget;

namespace cardovia::qt {

class Notice;

class Announcer : public QObject {
  public:
    explicit Announcer(QWidget* window);
    // Hands the words to a listening screen reader; nothing when none listens.
    // Words said in one turn of the event loop are spoken together, in order.
    void Say(const QString& words);
    // Speaks what was said so far now rather than at the next turn of the loop.
    void Flush();

  private:
    // A reader may still be reading a notice's words a moment after it showed,
    // so a few take turns rather than one being overwritten.
    static constexpr std::size_t kNotices = 8;

    Notice* NextNotice();

    QWidget* window_;
    QStringList pending_;
    std::array<QPointer<Notice>, kNotices> notices_;  // made when first needed
    std::size_t next_ = 0;
};

}  // namespace cardovia::qt
