#include "scoring/TargetScore.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/PlayerFile.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"

#include <cmath>
#include <regex>

namespace cardovia {

namespace {
constexpr int kTypeMismatch = 13;
}

i16 TargetFromText(const std::string& text) {
    static const std::regex number(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)\s*$)");
    if (!std::regex_match(text, number)) throw GameError(kTypeMismatch, "Type mismatch");
    const double value = std::nearbyint(std::stod(text));
    if (value < -32768 || value > 32767) throw GameError(kOverflowError, "Overflow");
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
