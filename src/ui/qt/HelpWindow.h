#pragma once
// The help window: the rules of the game and how to play this program, as one
// long text read from help.txt beside the program. It is not modal, so the game
// goes on while it is open; closing it unloads it, and the next showing builds
// it afresh.

#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace cardovia::qt {

// Where the help text lives: help.txt in the program's directory.
QString HelpTextPath();

// The text of the help file; a short line saying that it could not be found
// when the file is missing or cannot be read.
QString LoadHelpText(const QString& path);

class HelpWindow : public QWidget {
  public:
    // A closed window deletes itself; `parent` is normally none, so the help can
    // be moved behind or beside the table like any other window.
    explicit HelpWindow(const QString& helpPath, QWidget* parent = nullptr);

    QPlainTextEdit* Text() const { return text_; }
    QPushButton* CloseButton() const { return close_; }

    // Shows the help window, building it first when none is open, and brings it
    // to the front. Returns at once.
    static HelpWindow* Open();
    // The open help window, or none.
    static HelpWindow* Current();
    // Unloads the help window if it is open (when the program ends).
    static void CloseIfOpen();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPlainTextEdit* text_;
    QPushButton* close_;
};

}  // namespace cardovia::qt
