#include "ui/headless/HeadlessPlatform.h"

#include "ui/Form.h"

#include <numeric>

namespace cardovia {

void HeadlessPlatform::WaitUntil(const std::function<bool()>& done,
                                 const std::function<std::int64_t()>& deadline) {
    if (onWait && !done()) onWait();
    while (!done()) {
        if (deadline) {
            const std::int64_t until = deadline();
            if (until > now) {
                waits.push_back(until - now);
                now = until;
                continue;
            }
        }
        // Where the window would catch up with the form and tell a reader.
        if (const auto& narrate = Frmtable().NarrateAtRest) narrate();
        if (!onIdle || !onIdle()) throw HeadlessDeadlock("the game waits and nothing can end it");
    }
}

i16 HeadlessPlatform::RunMessageDialog(const DialogRequest& request) {
    dialogs.push_back(request);
    if (onDialog) onDialog(request);
    if (answerDialog) return answerDialog(request);
    if (dialogAnswers.empty()) return 0;
    const i16 answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

bool HeadlessPlatform::AskYesNo(const std::string&, const std::string&) {
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::string HeadlessPlatform::InputBox(const std::string&, const std::string&) {
    if (inputAnswers.empty()) return {};
    std::string answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

void HeadlessPlatform::CriticalError(const std::string& title, const std::string& text) {
    errors.emplace_back(title, text);
}

double HeadlessPlatform::Random() {
    if (!randomScript.empty()) {
        const double r = randomScript.front();
        randomScript.pop_front();
        return r;
    }
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
}

std::int64_t HeadlessPlatform::TotalWaited() const {
    return std::accumulate(waits.begin(), waits.end(), std::int64_t{0});
}

}  // namespace cardovia
