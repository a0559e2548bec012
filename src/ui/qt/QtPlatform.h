#pragma once
// The platform services for the real program, on Qt's event loop.

#include <QElapsedTimer>
#include <QObject>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "ui/Platform.h"

class QSoundEffect;

namespace cardovia::qt {

class TableWindow;

class QtPlatform : public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;
    void SetWindow(TableWindow* window) { window_ = window; }

    std::int64_t NowMs() override {
        return static_cast<std::int64_t>(static_cast<double>(clock_.elapsed()) * timeScale_);
    }
    // Tests run the game's clock faster: every pause lasts 1/factor as long.
    void SetTimeScale(double factor);
    void WaitUntil(const std::function<bool()>& done,
                   const std::function<std::int64_t()>& deadline) override;
    i16 RunMessageDialog(const DialogRequest& request) override;
    void PlaySound(const std::string& path) override;
    void Beep() override;
    bool AskYesNo(const std::string& title, const std::string& text) override;
    std::string InputBox(const std::string& title, const std::string& prompt) override;
    void CriticalError(const std::string& title, const std::string& text) override;
    double Random() override;
    void ShowHelp() override;
    void ShowAbout() override;
    void ShowScoreChart() override;
    void ShowGameHistory() override;
    std::string LocalDateTime() override;
    PointTwips Pointer() override;
    void Quit() override;

  private:
    QElapsedTimer clock_;
    double timeScale_ = 1.0;
    std::mt19937_64 random_;
    TableWindow* window_ = nullptr;
    bool audioChecked_ = false;
    bool haveAudio_ = false;
    std::map<std::string, std::unique_ptr<QSoundEffect>> sounds_;
};

}  // namespace cardovia::qt
