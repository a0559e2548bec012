#pragma once
// The game's message dialog: a small frameless window of our own with a title
// strip, a picture, the message and up to three buttons. Every confirmation,
// notice and result of the game is asked through it; it waits for a click on
// one of its buttons and answers with that button's index.

#include <QAbstractButton>
#include <QDialog>
#include <QRect>
#include <QSize>

#include <array>

#include "ui/Platform.h"

class QLabel;

namespace cardovia::qt {

// Where everything of the dialog stands, in twips, the unit the game lays its
// windows out in. Pure arithmetic, so the placement can be checked exactly.
struct MessageDialogLayout {
    QSize window;
    QRect title;
    QRect message;
    QRect picture;
    std::array<QRect, 3> buttons;
    std::array<bool, 3> shown{};
};

// Lays the dialog out for a message `messageHeight` twips high. `captioned`
// tells which of the three buttons has a caption; button 0 is always shown.
MessageDialogLayout LayOutMessageDialog(int messageHeight, const std::array<bool, 3>& captioned);

// The caption as the player sees it: '&' marks an access key and is not shown,
// "&&" shows a single '&'.
QString DisplayedCaption(const std::string& caption);

// One button face: a raised grey panel with its caption that sinks while the
// mouse button is held down on it. It takes no keyboard focus and grabs no
// access key, since the dialog answers to the mouse only.
class DialogButtonFace : public QAbstractButton {
  public:
    explicit DialogButtonFace(QWidget* parent);
    void SetCaption(const QString& caption);
    const QString& Caption() const { return caption_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
};

class MessageDialog : public QDialog {
    Q_OBJECT

  public:
    explicit MessageDialog(QWidget* parent = nullptr);

    // Lays the window out for the request and centres it on the screen,
    // without showing it.
    void Prepare(const DialogRequest& request);
    // Beeps, shows the request modally and returns the index of the button
    // clicked. The window is hidden again when it returns.
    i16 Run(const DialogRequest& request);

    // The one dialog that serves all the game's messages: created at the first
    // call, hidden between calls, destroyed with `parent` (or when the program
    // ends, if it has none).
    static i16 RunShared(QWidget* parent, const DialogRequest& request);

    const MessageDialogLayout& Layout() const { return layout_; }
    DialogButtonFace* Button(int index) const { return buttons_[index]; }
    QLabel* TitleStrip() const { return title_; }
    QLabel* Message() const { return message_; }
    // The picture's place in the window, in pixels.
    QRect PictureRect() const;

  public slots:
    // No cancel key: the only way out is a click on a button.
    void reject() override {}

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int MessageHeightTwips() const;
    void CentreOnScreen();

    QLabel* title_;
    QLabel* message_;
    std::array<DialogButtonFace*, 3> buttons_{};
    MessageDialogLayout layout_;
    int picture_ = 0;
    bool running_ = false;
};

// Paints dialog picture `kind` (1 a court card, 2 a question, 3 a notice) so
// that it fills the square `target`; an unknown kind paints nothing.
void PaintDialogPicture(QPainter& painter, const QRectF& target, int kind);

}  // namespace cardovia::qt
