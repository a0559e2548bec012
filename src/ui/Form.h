#pragma once
// The table window as plain data. The game writes these records; the Qt
// window mirrors them on the screen and calls the handlers stored here when
// the player uses the mouse or the menus. Tests read the same records.
// Positions and sizes are twips (1440 to the inch); colours are 0x00BBGGRR.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/Card.h"

namespace cardovia {

inline constexpr std::uint32_t kNoColour = 0xFFFFFFFF;
inline constexpr std::uint32_t kPaleGreen = 0xC0FFC0;
inline constexpr std::uint32_t kYellow = 0x00FFFF;
inline constexpr std::uint32_t kOrange = 0x0080FF;
inline constexpr std::uint32_t kGreen = 0x00FF00;
inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kTableGreen = 0x2E6B0A;

// The table scene: every position of the game lies inside it.
inline constexpr int kTableWidth = 15360;
inline constexpr int kTableHeight = 10320;
inline constexpr int kCardWidth = 1065;
inline constexpr int kCardHeight = 1440;

enum class ControlKind { Picture, Label, Frame, Button, ListBox, TextBox, Shape };

struct Frame;

struct Control {
    ControlKind kind;
    std::string name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    std::int64_t z = 0;  // larger lies in front; see ZOrder
    std::string toolTip;
    bool focused = false;  // holds the keyboard's focus ring
    Frame* parent = nullptr;  // the frame that holds it; positions are then relative to it
    explicit Control(ControlKind k) : kind(k) {}
    virtual ~Control() = default;
    void Move(int newLeft, int newTop) {
        left = newLeft;
        top = newTop;
    }
};

enum class Pointer : i16 { Default = 0, Custom = 99 };

// A point, in twips, that a travelling card passes on its way.
struct Waypoint {
    int left;
    int top;
};

struct Picture : Control {
    i16 image = 0;        // 1..108 a face, 109 blue back, 110 red back
    bool border = false;  // the single-line border of a chosen wild card
    bool hinted = false;  // marked by the Hint until the next move
    Pointer mousePointer = Pointer::Default;
    i16 mouseIcon = 0;  // 1..3 the pointer images while mousePointer is Custom
    Picture() : Control(ControlKind::Picture) {}
};

enum class Align { Left, Centre, Right };

struct Label : Control {
    std::string caption;
    std::uint32_t backColor = kNoColour;  // kNoColour: the table shows through
    std::uint32_t foreColor = kBlack;
    int fontTwips = 165;  // about 8 points
    bool bold = false;
    Align align = Align::Left;
    bool wrap = false;
    Label() : Control(ControlKind::Label) {}
};

struct Frame : Control {
    std::string caption;
    std::uint32_t backColor = 0xE0E0E0;
    std::function<void(i16 button)> MouseDown;
    std::function<void(i16 button)> MouseUp;
    Frame() : Control(ControlKind::Frame) {}
};

struct Button : Control {
    std::string caption;
    std::function<void()> Click;
    Button() : Control(ControlKind::Button) {}
};

struct ListBox : Control {
    std::vector<std::string> items;
    ListBox() : Control(ControlKind::ListBox) {}
};

struct TextBox : Control {
    std::string text;
    int focusRequests = 0;  // raised to ask the window to give the box the focus
    TextBox() : Control(ControlKind::TextBox) {}
};

struct Shape : Control {
    std::uint32_t borderColor = kBlack;
    int borderTwips = 45;
    std::uint32_t fillColor = kNoColour;
    Shape() : Control(ControlKind::Shape) {}
};

struct MenuItem {
    std::string name;
    std::string caption;
    std::string shortcut;  // "F2", "Ctrl+L", ...
    bool enabled = true;
    bool visible = true;
    bool checkable = false;  // shown with a check mark when checked
    bool checked = false;
    std::function<void()> Click;
    std::vector<MenuItem*> items;  // a drop-down's entries; none for a bar entry that acts itself
};

struct Timer {
    int interval = 0;
    bool enabled = false;
    std::function<void()> Tick;
};

// The keys of play by keyboard, as the window hands them to the game.
enum class TableKey {
    Left,
    Right,
    Up,
    Down,
    NextRow,      // Tab
    PreviousRow,  // Shift+Tab
    Activate,     // Enter or Space: a left press and release
    Secondary,    // Delete: a right press and release
    DrawStock,    // S
    TakePile,     // P
    DropWild,     // Escape: the chosen wild card is let go of
    // Questions a screen reader's user asks of the table, answered in words.
    AskPile,        // D
    AskScores,      // C
    AskMinimum,     // N
    AskHand,        // Y
    AskMelds,       // M
    AskTheirMelds,  // T
    AskRedThrees,   // R
    AskStock,       // K
    AskTheirHand,   // O
    RepeatLast,     // L
};

// What a screen reader is told of the table: named groups of named objects,
// worded only from what the table shows.
enum class AccessibleRole { Group, Card, Text, Button };
struct AccessibleObject {
    AccessibleRole role = AccessibleRole::Group;
    std::string name;
    std::string description;
    const Control* control = nullptr;  // what it stands for: its place, and the ring
    std::vector<AccessibleObject> children;
    // What keeps it the same object to a screen reader while its words change
    // (the stock as its top card goes); when empty, its control does.
    std::string key;
};

using CardMouseHandler = std::function<void(i16 index, i16 button, i16 shift, float x, float y)>;

struct TableForm {
    TableForm();
    TableForm(const TableForm&) = delete;
    TableForm& operator=(const TableForm&) = delete;

    std::string Caption;

    // The table area and the frame showing the state of the discard pile.
    Shape ShapeTable;
    Shape Shape1;

    std::array<Picture, kDeckSize + 1> PicCards;  // index = card; 0 unused

    Label LblPlayer;
    Label LblThaddock;
    Label LblDiscard;
    Label LblStock;

    // The meld table: headings over the columns, and per rank a figure for each
    // side (index = rank code 1 and 3..14; 14 is the red-three column).
    Label LblMeldTable;
    std::array<Label, 13> LblHeadings;
    std::array<Label, 15> lblMelds;   // the player's row
    std::array<Label, 15> lblMeldsC;  // the opponent's row

    // The score board.
    Frame FramScores;
    Label lblPnameScore, Label2, Label3, Label4, Label5, Label7;
    std::array<Label, 3> LblCurrTot, LblCurrMeld, LblCurrBon;

    // The results panel.
    Frame FramResults;
    Label LblP, Label6;
    Label lblMeld, lblBonusPoints, lblMixed, lblPure, lblMeldPointsG, LblPointsoff, lblTotalP,
        GGrandtotal;
    std::array<Label, 3> CardPoints, RThreesPoints, MixedCans, PureCans, OutFirst, MinusPoints,
        PointsTotal;
    std::array<Label, 3> GamePoints;  // 0 is the game line under the table of figures
    Label lblComments;
    Button cmdSave, cmdNew;

    // The target panel.
    Frame FramTarget;
    TextBox Txtpoints;
    Button CmdTarget;
    Label Label1;

    // The Hand Help panel.
    Frame framHand;
    ListBox lstHeading;
    Label lbCard, llbNum, Label8;
    std::array<ListBox, 4> lstValue;  // 0 names, 1 counts, 3 verdicts; 2 is unused
    Button cmdFinished;

    // The status bar's four panels, 1..4.
    std::array<std::string, 5> StatusPanels;
    // The status panel holding the keyboard's ring (the minimum's), 0 for none.
    int focusedPanel = 0;

    // The menu bar.
    MenuItem MnuPlay, MnuNew, MnuLoad, MnuSave, MnuExit;
    MenuItem MnuHelp, MnuGenHelp, MnuHandHelp, MnuHint;
    MenuItem MnuOps, MnuName, MnuTarget, MnuBlue, MnuRed, MnuFast, MnuMed, MnuSlow;
    MenuItem MnuClassic, MnuExpert, MnuMaster;  // which Thaddock plays
    MenuItem MnuSmooth, MnuSound, MnuFourColour;
    MenuItem MnuStats, MnuView, MnuDel, MnuChart, MnuHistory;
    MenuItem MnuAbout, MnuTakeBack, MnuLearn;
    std::vector<MenuItem*> MenuBar;

    Timer Timer1;

    CardMouseHandler PicCards_MouseDown;
    CardMouseHandler PicCards_MouseUp;
    CardMouseHandler PicCards_MouseMove;
    // A key of play by keyboard; answers whether it did anything.
    std::function<bool(TableKey key, bool autoRepeat)> Table_KeyPress;
    // The table for a screen reader, worded afresh at each call.
    std::function<std::vector<AccessibleObject>()> DescribeTable;
    // The close box: answers whether the window may close.
    std::function<bool()> QueryUnload;

    // Tells what changed on the table since it was last told, when the game is
    // not in the middle of a move; the window calls it as it catches up.
    std::function<void()> NarrateAtRest;
    // Words for a screen reader to speak, oldest first. The game adds them as
    // the table changes; the window takes them all each time it catches up
    // with the form, and speaks them in order.
    std::vector<std::string> Announcements;

    // Every control, in design order (frames before the controls they hold).
    std::vector<Control*> Controls;

    std::int64_t zCounter = 0;
};

// The one table window. Recreated by ResetForm (tests start from a fresh one).
TableForm& Frmtable();
void ResetForm();

// Brings a control in front of all others.
void ZOrder(Control& control);

// The picture of a card.
inline Picture& Pic(int card) {
    return Frmtable().PicCards[card];
}
// Shows a card's own face on its picture.
inline void ShowFace(int card) {
    Pic(card).image = static_cast<i16>(card);
}

// Status bar panel text.
inline void SetPanel(int panel, const std::string& text) {
    Frmtable().StatusPanels[panel] = text;
}

}  // namespace cardovia
