#include "ui/Form.h"

#include <memory>

namespace cardovia {

namespace {

constexpr int kHeadingLeft = 480;
constexpr int kHeadingStep = 1080;
constexpr int kHeadingTop = 4800;
constexpr int kHeadingWidth = 1095;
constexpr int kHeadingHeight = 300;
constexpr int kOpponentFigureTop = 4080;
constexpr int kPlayerFigureTop = 7200;
constexpr int kFigureHeight = 615;

// Meld table columns from left to right, by rank code: the red threes first.
constexpr i16 kColumnRanks[13] = {14, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1, 3};
const char* const kHeadingCaptions[13] = {
    "  RedThress",  "     Fours",  "      Fives", "      Sixes", "      Sevens",
    "      Eights", "      Nines", "      Tens",  "      Jacks", "      Queens",
    "      Kings",  "      Aces",  " Black 3's"};

std::unique_ptr<TableForm> theForm;

void Place(Control& c, const char* name, int left, int top, int width, int height,
           Frame* parent = nullptr) {
    c.name = name;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.parent = parent;
}

void Text(Label& l, const char* caption, std::uint32_t fore = kBlack, int font = 165,
          bool bold = false) {
    l.caption = caption;
    l.foreColor = fore;
    l.fontTwips = font;
    l.bold = bold;
}

void Menu(MenuItem& m, const char* name, const char* caption, const char* shortcut = "") {
    m.name = name;
    m.caption = caption;
    m.shortcut = shortcut;
}

void BuildTable(TableForm& f) {
    f.Caption = "Cardovia";
    Place(f.ShapeTable, "ShapeTable", 0, 0, kTableWidth, kTableHeight);
    f.ShapeTable.borderColor = kTableGreen;
    f.ShapeTable.fillColor = kTableGreen;
    f.ShapeTable.borderTwips = 0;
    Place(f.Shape1, "Shape1", 150, 7860, 1275, 2100);
    f.Shape1.borderColor = kGreen;

    for (int i = 1; i <= kDeckSize; ++i) {
        Picture& p = f.PicCards[i];
        p.name = "PicCards(" + std::to_string(i) + ")";
        p.width = kCardWidth;
        p.height = kCardHeight;
        p.visible = false;
    }

    Place(f.LblThaddock, "LblThaddock", 1680, 1600, 3000, 330);
    Text(f.LblThaddock, "Thaddock", kWhite, 210, true);
    Place(f.LblPlayer, "LblPlayer", 1680, 9690, 3000, 330);
    Text(f.LblPlayer, "Player", kWhite, 210, true);
    Place(f.LblStock, "LblStock", 120, 1740, 1500, 285);
    Text(f.LblStock, "No. in Deck", kWhite, 180, true);
    f.LblStock.toolTip = "Number of cards in stock";
    Place(f.LblDiscard, "LblDiscard", 150, 9990, 1500, 285);
    Text(f.LblDiscard, "Discard", kWhite, 180, true);

    Place(f.LblMeldTable, "LblMeldTable", 14700, 4500, 600, 600);
    Text(f.LblMeldTable, "The Meld Table", 0x80FFFF, 150, true);
    f.LblMeldTable.wrap = true;
    f.LblMeldTable.align = Align::Centre;
    for (int k = 0; k < 13; ++k) {
        const int left = kHeadingLeft + k * kHeadingStep;
        Label& h = f.LblHeadings[k];
        Place(h, "LblHeadings", left, kHeadingTop, kHeadingWidth, kHeadingHeight);
        Text(h, kHeadingCaptions[k], 0x80FFFF, 150, true);
        const i16 rank = kColumnRanks[k];
        for (auto* row : {&f.lblMelds, &f.lblMeldsC}) {
            Label& l = (*row)[rank];
            const bool mine = row == &f.lblMelds;
            Place(l, mine ? "lblMelds" : "lblMeldsC", left,
                  mine ? kPlayerFigureTop : kOpponentFigureTop, kHeadingWidth, kFigureHeight);
            l.visible = false;
            l.backColor = kPaleGreen;
            l.wrap = true;
            l.align = Align::Centre;
            l.fontTwips = 165;
        }
    }
}

void BuildScoreBoard(TableForm& f) {
    Frame* board = &f.FramScores;
    Place(f.FramScores, "FramScores", 11640, 0, 3615, 2088);
    f.FramScores.caption = "Score Board";
    f.FramScores.toolTip = "Current and total scores";
    Place(f.lblPnameScore, "lblPnameScore", 1200, 120, 1095, 240, board);
    Text(f.lblPnameScore, "You", kBlack, 165, true);
    Place(f.Label2, "Label2", 2400, 120, 1095, 240, board);
    Text(f.Label2, "Thaddock", kBlack, 165, true);
    Place(f.Label3, "Label3", 90, 360, 1095, 495, board);
    Text(f.Label3, "Game Total");
    Place(f.Label4, "Label4", 90, 840, 1095, 495, board);
    Text(f.Label4, "Hand Melds");
    Place(f.Label5, "Label5", 90, 1320, 1095, 495, board);
    Text(f.Label5, "Hand Bonus");
    const int tops[3] = {360, 840, 1320};
    const std::array rows{&f.LblCurrTot, &f.LblCurrMeld, &f.LblCurrBon};
    const char* tips[3] = {"The current total score", "Score from Melds so far",
                           "Points from current bonuses"};
    const char* names[3] = {"LblCurrTot", "LblCurrMeld", "LblCurrBon"};
    for (int r = 0; r < 3; ++r) {
        for (int side = 1; side <= 2; ++side) {
            Label& l = (*rows[r])[side];
            Place(l, names[r], side == 1 ? 1200 : 2400, tops[r], 1095, 495, board);
            l.toolTip = tips[r];
            l.bold = true;
        }
    }
    Place(f.Label7, "Label7", 0, 1800, 3492, 240, board);
    f.Label7.align = Align::Centre;
}

void BuildResults(TableForm& f) {
    Frame* panel = &f.FramResults;
    Place(f.FramResults, "FramResults", 2040, 600, 8055, 7080);
    f.FramResults.caption = "Scores and Winner";
    f.FramResults.visible = false;
    Place(f.LblP, "LblP", 3600, 240, 1500, 360, panel);
    Text(f.LblP, "You", kBlack, 180, true);
    Place(f.Label6, "Label6", 5400, 240, 1500, 360, panel);
    Text(f.Label6, "Thaddock", kBlack, 180, true);

    struct Row {
        Label* heading;
        const char* name;
        const char* caption;
        std::array<Label, 3>* values;
        const char* valueName;
        int top;
    };
    const Row rows[] = {
        {&f.lblMeld, "lblMeld", "Points for Cards Melded", &f.CardPoints, "CardPoints", 720},
        {&f.lblBonusPoints, "lblBonusPoints", "Bonus Red Threes", &f.RThreesPoints, "RThreesPoints",
         1200},
        {&f.lblMixed, "lblMixed", "Bonus Mixed Melds", &f.MixedCans, "MixedCans", 1680},
        {&f.lblPure, "lblPure", "Bonus Pure", &f.PureCans, "PureCans", 2160},
        {&f.lblMeldPointsG, "lblMeldPointsG", "Out First Bonus", &f.OutFirst, "OutFirst", 2640},
        {&f.LblPointsoff, "LblPointsoff", "Less Points Hand", &f.MinusPoints, "MinusPoints", 3120},
        {&f.lblTotalP, "lblTotalP", "Total this Hand", &f.PointsTotal, "PointsTotal", 3720},
        {&f.GGrandtotal, "GGrandtotal", "Total Game Points", &f.GamePoints, "GamePoints", 5040},
    };
    for (const Row& row : rows) {
        Place(*row.heading, row.name, 240, row.top, 3240, 360, panel);
        Text(*row.heading, row.caption, kBlack, 180);
        for (int side = 1; side <= 2; ++side) {
            Label& v = (*row.values)[side];
            Place(v, row.valueName, side == 1 ? 3600 : 5400, row.top, 1500, 360, panel);
            v.fontTwips = 180;
            v.bold = true;
        }
    }
    Place(f.lblComments, "lblComments", 600, 4200, 6795, 780, panel);
    f.lblComments.wrap = true;
    f.lblComments.fontTwips = 180;
    Place(f.GamePoints[0], "GamePoints", 1080, 6240, 5532, 492, panel);
    f.GamePoints[0].wrap = true;
    f.GamePoints[0].fontTwips = 180;
    Place(f.cmdSave, "cmdSave", 6720, 5760, 1215, 420, panel);
    f.cmdSave.caption = "E&xit and Save";
    f.cmdSave.toolTip = "Close down and save game";
    Place(f.cmdNew, "cmdNew", 6720, 6300, 1215, 420, panel);
    f.cmdNew.caption = "&Carry On";
    f.cmdNew.toolTip = "Deal Nex Hand";
}

void BuildTarget(TableForm& f) {
    Frame* panel = &f.FramTarget;
    Place(f.FramTarget, "FramTarget", 4560, 2040, 5280, 3840);
    f.FramTarget.caption = "Target points a game";
    f.FramTarget.toolTip = "Set number of points to play to in each game";
    f.FramTarget.visible = false;
    Place(f.Txtpoints, "Txtpoints", 1740, 480, 1800, 375, panel);
    f.Txtpoints.toolTip = "Enter the niumber of points for game Target";
    Place(f.Label1, "Label1", 240, 1080, 4800, 1920, panel);
    f.Label1.caption =
        "Enter above how many Target points you wish to play for in each game. Default Target "
        "points are set to 5000  but depending whether you want a long or short game enter any "
        "number you wish as the Target Points for your games. Anything entered below 500  will be "
        "set as 500  and any number above 5000 as 5000.";
    f.Label1.wrap = true;
    Place(f.CmdTarget, "CmdTarget", 2100, 3180, 1095, 420, panel);
    f.CmdTarget.caption = "&O.K";
    f.CmdTarget.toolTip = "Click to Exit";
}

void BuildHandHelp(TableForm& f) {
    Frame* panel = &f.framHand;
    Place(f.framHand, "framHand", 6840, 120, 4605, 4245);
    f.framHand.caption = "Some Help with your Hand";
    f.framHand.visible = false;
    Place(f.lstHeading, "lstHeading", 45, 270, 4515, 735, panel);
    Place(f.lbCard, "lbCard", 720, 960, 915, 285, panel);
    Text(f.lbCard, "Card");
    f.lbCard.toolTip = "Card Name";
    Place(f.llbNum, "llbNum", 1680, 960, 555, 285, panel);
    Text(f.llbNum, "No.");
    f.llbNum.toolTip = "Number of these cards";
    Place(f.Label8, "Label8", 2160, 960, 1305, 285, panel);
    Text(f.Label8, "Can Meld?");
    f.Label8.toolTip = "Can they be melded";
    const int lefts[4] = {720, 1680, 0, 2160};
    const int widths[4] = {975, 495, 0, 1335};
    for (int i : {0, 1, 3}) {
        Place(f.lstValue[i], "lstValue", lefts[i], 1320, widths[i], 2472, panel);
        f.lstValue[i].toolTip = "Some assistance with your hand";
    }
    f.lstValue[2].name = "lstValue";
    f.lstValue[2].visible = false;
    f.lstValue[2].parent = panel;
    Place(f.cmdFinished, "cmdFinished", 1680, 3870, 1185, 345, panel);
    f.cmdFinished.caption = "&Finished";
    f.cmdFinished.toolTip = "Click to close";
}

void BuildMenus(TableForm& f) {
    Menu(f.MnuPlay, "MnuPlay", "Play");
    Menu(f.MnuNew, "MnuNew", "New Game", "F2");
    Menu(f.MnuLoad, "MnuLoad", "Load Game", "Ctrl+L");
    Menu(f.MnuSave, "MnuSave", "&Save Game", "Ctrl+S");
    Menu(f.MnuExit, "MnuExit", "E&xit Game", "Ctrl+X");
    f.MnuPlay.items = {&f.MnuNew, &f.MnuLoad, &f.MnuSave, &f.MnuExit};
    Menu(f.MnuHelp, "MnuHelp", "Help");
    Menu(f.MnuGenHelp, "MnuGenHelp", "General Help ", "F1");
    Menu(f.MnuHandHelp, "MnuHandHelp", "Hand Help", "F3");
    Menu(f.MnuHint, "MnuHint", "&Hint", "H");
    f.MnuHint.enabled = false;
    f.MnuHelp.items = {&f.MnuGenHelp, &f.MnuHandHelp, &f.MnuHint};
    Menu(f.MnuOps, "MnuOps", "&Options");
    Menu(f.MnuName, "MnuName", "Enter Your Name", "Ctrl+E");
    Menu(f.MnuTarget, "MnuTarget", "Change Target Score", "Ctrl+T");
    Menu(f.MnuBlue, "MnuBlue", "Blue Card Back", "Ctrl+B");
    Menu(f.MnuRed, "MnuRed", "Red Card Back", "Ctrl+R");
    Menu(f.MnuFast, "MnuFast", "Play Quickly", "Ctrl+Q");
    Menu(f.MnuMed, "MnuMed", "Medium Play Speed", "Ctrl+M");
    Menu(f.MnuSlow, "MnuSlow", "Slow Play Speed", "Ctrl+W");
    Menu(f.MnuClassic, "MnuClassic", "Thaddock plays &Classic");
    Menu(f.MnuExpert, "MnuExpert", "Thaddock plays &Expert");
    Menu(f.MnuMaster, "MnuMaster", "Thaddock plays &Master");
    f.MnuClassic.checkable = f.MnuExpert.checkable = f.MnuMaster.checkable = true;
    for (MenuItem* choice : {&f.MnuBlue, &f.MnuRed, &f.MnuFast, &f.MnuMed, &f.MnuSlow}) {
        choice->checkable = true;
    }
    f.MnuClassic.checked = true;
    Menu(f.MnuSmooth, "MnuSmooth", "Smooth &Motion");
    Menu(f.MnuSound, "MnuSound", "&Sound");
    Menu(f.MnuFourColour, "MnuFourColour", "&Four-Colour Suits");
    f.MnuSmooth.checkable = f.MnuSound.checkable = f.MnuFourColour.checkable = true;
    f.MnuSmooth.checked = f.MnuSound.checked = true;
    f.MnuOps.items = {&f.MnuName,   &f.MnuTarget, &f.MnuBlue,      &f.MnuRed,    &f.MnuFast,
                      &f.MnuMed,    &f.MnuSlow,   &f.MnuClassic,   &f.MnuExpert, &f.MnuMaster,
                      &f.MnuSmooth, &f.MnuSound,  &f.MnuFourColour};
    Menu(f.MnuStats, "MnuStats", "Statistics");
    Menu(f.MnuView, "MnuView", "View Statistics", "Ctrl+V");
    Menu(f.MnuDel, "MnuDel", "Delete Statistics", "Ctrl+D");
    Menu(f.MnuChart, "MnuChart", "Score &Chart");
    Menu(f.MnuHistory, "MnuHistory", "Game &History");
    f.MnuStats.items = {&f.MnuView, &f.MnuDel, &f.MnuChart, &f.MnuHistory};
    Menu(f.MnuAbout, "MnuAbout", "&About");
    Menu(f.MnuTakeBack, "MnuTakeBack", "&TAKE BACK");
    f.MnuTakeBack.enabled = false;
    Menu(f.MnuLearn, "MnuLearn", "&Learning Mode Off");
    f.MenuBar = {&f.MnuPlay,  &f.MnuHelp,     &f.MnuOps,  &f.MnuStats,
                 &f.MnuAbout, &f.MnuTakeBack, &f.MnuLearn};
}

void ListControls(TableForm& f) {
    f.Controls = {&f.ShapeTable, &f.Shape1};
    for (int i = 1; i <= kDeckSize; ++i) f.Controls.push_back(&f.PicCards[i]);
    for (Label* l : {&f.LblPlayer, &f.LblThaddock, &f.LblDiscard, &f.LblStock, &f.LblMeldTable}) {
        f.Controls.push_back(l);
    }
    for (Label& h : f.LblHeadings) f.Controls.push_back(&h);
    for (int r = 1; r <= 14; ++r) {
        if (r == kTwo) continue;
        f.Controls.push_back(&f.lblMelds[r]);
        f.Controls.push_back(&f.lblMeldsC[r]);
    }
    f.Controls.push_back(&f.FramScores);
    for (Label* l : {&f.lblPnameScore, &f.Label2, &f.Label3, &f.Label4, &f.Label5, &f.Label7}) {
        f.Controls.push_back(l);
    }
    for (int side = 1; side <= 2; ++side) {
        for (auto* row : {&f.LblCurrTot, &f.LblCurrMeld, &f.LblCurrBon}) {
            f.Controls.push_back(&(*row)[side]);
        }
    }
    f.Controls.push_back(&f.FramResults);
    for (Label* l : {&f.LblP, &f.Label6, &f.lblMeld, &f.lblBonusPoints, &f.lblMixed, &f.lblPure,
                     &f.lblMeldPointsG, &f.LblPointsoff, &f.lblTotalP, &f.GGrandtotal,
                     &f.lblComments, &f.GamePoints[0]}) {
        f.Controls.push_back(l);
    }
    for (int side = 1; side <= 2; ++side) {
        for (auto* row : {&f.CardPoints, &f.RThreesPoints, &f.MixedCans, &f.PureCans, &f.OutFirst,
                          &f.MinusPoints, &f.PointsTotal, &f.GamePoints}) {
            f.Controls.push_back(&(*row)[side]);
        }
    }
    f.Controls.push_back(&f.cmdSave);
    f.Controls.push_back(&f.cmdNew);
    for (Control* c : std::initializer_list<Control*>{&f.FramTarget, &f.Txtpoints, &f.Label1,
                                                      &f.CmdTarget, &f.framHand, &f.lstHeading,
                                                      &f.lbCard, &f.llbNum, &f.Label8}) {
        f.Controls.push_back(c);
    }
    for (int i : {0, 1, 3}) f.Controls.push_back(&f.lstValue[i]);
    f.Controls.push_back(&f.cmdFinished);
}

}  // namespace

TableForm::TableForm() {
    BuildTable(*this);
    BuildScoreBoard(*this);
    BuildResults(*this);
    BuildTarget(*this);
    BuildHandHelp(*this);
    BuildMenus(*this);
    ListControls(*this);
    // Design order is the initial stacking order.
    for (Control* c : Controls) c->z = ++zCounter;
}

TableForm& Frmtable() {
    if (!theForm) theForm = std::make_unique<TableForm>();
    return *theForm;
}

void ResetForm() {
    theForm = std::make_unique<TableForm>();
}

void ZOrder(Control& control) {
    control.z = ++Frmtable().zCounter;
}

}  // namespace cardovia
