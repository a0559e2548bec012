#pragma once
// The about box: the game's logo, title, version and the platform it runs on.
// The first time it is built it is shown modally; its O.K button only hides it,
// and every later showing is not modal.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QWidget>

class QFrame;
class QLabel;
class QPainter;
class QPushButton;
class QRectF;

namespace cardovia::qt {

inline constexpr const char* kProductName = "Cardovia";
inline constexpr const char* kVersionText = "Version 2.0.7";

// The system's own name for itself: PRETTY_NAME of an os-release file (the
// first of `candidates` that names one), else "Linux".
QString PlatformName(const QStringList& candidates = {QStringLiteral("/etc/os-release"),
                                                      QStringLiteral("/usr/lib/os-release")});

// The game's logo, a fan of cards on green baize with a stylised C on the front
// card, painted to fill the square `target`.
void PaintLogo(QPainter& painter, const QRectF& target);

class LogoPicture : public QWidget {
  public:
    explicit LogoPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class AboutBox : public QDialog {
  public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* ProductName() const { return productName_; }
    QLabel* Version() const { return version_; }
    QLabel* PlatformLabel() const { return platform_; }
    QPushButton* OkButton() const { return ok_; }

    // Shows the about box: modally (returning when it is hidden) when this call
    // builds it, otherwise without blocking, brought to the front.
    static AboutBox* Open(QWidget* parent);
    // The about box once built, or none.
    static AboutBox* Current();

  private:
    QLabel* productName_;
    QLabel* version_;
    QLabel* platform_;
    QPushButton* ok_;
};

}  // namespace cardovia::qt
