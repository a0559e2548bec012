#pragma once
// The game's message dialog: a small frameless window of our own with a title
// strip, a picture, the message and up to three buttons. Every confirmation,
// notice and result of the game is asked through it; it waits for one of its
// buttons to be clicked or chosen from the keyboard and answers with that
// button's index. A screen reader hears it as an alert named by its title.

#include "ui/Platform.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeySequence>
#include <QRect>
#include <QSize>

#include <array>

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
// mouse button or Space is held down on it. It takes the keyboard focus like
// any button and shows it with a dotted ring inside the face; the arrow keys
// are left to the dialog, which moves the focus along the row.
class DialogButtonFace : public QAbstractButton {
    Q_OBJECT

  public:
    explicit DialogButtonFace(QWidget* parent);
    // `caption` as the game writes it: '&' marks the access key.
    void SetCaption(const std::string& caption);
    const QString& Caption() const { return caption_; }
    // Alt and the marked letter, or empty when the caption marks none.
    const QKeySequence& Mnemonic() const { return mnemonic_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString caption_;
    QKeySequence mnemonic_;
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

    // The button Escape and a close request answer: the last one shown. That
    // is the cautious answer of the game's questions ("No Cancel", "Carry On"),
    // "Exit" at a game's end (whose result is saved by then), and the only
    // answer of a notice, which changes nothing whichever way it is closed.
    int SafeButton() const;
    bool EscapeIsSafe() const;

  public slots:
    // Escape, Alt+F4 and the window manager's close request all end here.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int MessageHeightTwips() const;
    void CentreOnScreen();
    void Answer(int button);
    int FocusedButton() const;
    // Moves the focus `step` shown buttons along the row, round at the ends.
    void MoveFocus(int step);

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
