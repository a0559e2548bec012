#include "scoring/TargetScore.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/ReadAndSave.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace cardovia {

namespace {

constexpr int kTypeMismatch = 13;

// Blanks, a sign, digits with at most one point among them, blanks. Scanned
// by hand: a regular expression recurses once per character and overflows the
// stack on the long text the box accepts.
bool IsNumberText(const std::string& text) {
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t i = 0;
    while (i < text.size() && blank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (i < text.size() && blank(text[i])) ++i;
    return digits > 0 && i == text.size();
}

}  // namespace

i16 TargetFromText(const std::string& text) {
    if (!IsNumberText(text)) throw GameError(kTypeMismatch, "Type mismatch");
    // strtod rather than stod: a number too long for a double is an overflow
    // like any other beyond 16 bits, not an exception of its own.
    const double value = std::nearbyint(std::strtod(text.c_str(), nullptr));
    if (!Fits16(value)) throw GameError(kOverflowError, "Overflow");
    return static_cast<i16>(value);
}

void MnuTarget_Click() {
    TableForm& f = Frmtable();
    f.FramTarget.visible = true;
    ZOrder(f.FramTarget);
    f.Txtpoints.text = "5000";  // always the default, whatever the current target
    ++f.Txtpoints.focusRequests;
}

void CmdTarget_Click() {
    Trap("CmdTarget_Click", [] {
        TableForm& f = Frmtable();
        f.FramTarget.visible = false;
        const std::string& text = f.Txtpoints.text;
        i16 target = text.empty() ? kDefaultTarget : TargetFromText(text);
        if (target < kLowestTarget) target = kLowestTarget;
        if (target > kHighestTarget) target = kHighestTarget;
        TargetScore = target;
        const std::string shown = std::to_string(TargetScore);
        f.Label7.caption = "Target Score:- " + shown;
        ShowMessageDialog(" Target points are set to " + shown +
                              " Target Points will stay as this until you change again.",
                          "O.K.", "", "", kPictureNotice, "Target points set");
        SavePlayerFile();
    });
}

}  // namespace cardovia
