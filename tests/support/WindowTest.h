#pragma once
// The real table window under the offscreen platform, with a private program
// directory. Leaving and unexpected errors are recorded rather than carried
// out, and the deal follows a seed, so a run can be repeated.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableWindow.h"

namespace cardovia::testing {

class RecordingPlatform : public qt::QtPlatform {
  public:
    void Seed(std::uint64_t seed) { random_.seed(seed); }
    void Quit() override { ++quits; }
    void CriticalError(const std::string&, const std::string& text) override {
        errors.push_back(text);
    }
    double Random() override { return std::uniform_real_distribution<double>(0, 1)(random_); }
    int quits = 0;
    std::vector<std::string> errors;

  private:
    std::mt19937_64 random_{1};
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    RecordingPlatform platform;
    std::unique_ptr<qt::TableWindow> window;
    std::filesystem::path dir;
};

}  // namespace cardovia::testing
