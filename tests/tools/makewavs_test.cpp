// The generated sounds read back from disk by an independent parser, as the
// game's audio back end will see them.

#define MAKEWAVS_NO_MAIN
#include "../../tools/makewavs.cpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using cardovia::makewavs::run;
using cardovia::makewavs::writeAllSounds;

std::vector<std::uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int width) {
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

TEST(Sounds, FourPlainPcmFilesOfTheirLengthAtAnAudibleLevelWithQuietEdgesBuiltTheSameTwice) {
    const fs::path dir =
        fs::temp_directory_path() / ("makewavs-test-" + std::to_string(::getpid()));
    std::string error;
    ASSERT_TRUE(writeAllSounds(dir / "out", error)) << error;
    ASSERT_TRUE(writeAllSounds(dir / "again", error)) << error;
    const std::tuple<const char*, double, double> sounds[] = {{"card.wav", 0.060, 0.090},
                                                              {"riffle.wav", 0.6, 0.9},
                                                              {"win.wav", 1.0, 1.5},
                                                              {"Uhho.wav", 0.6, 0.8}};
    for (const auto& [name, shortest, longest] : sounds) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> b = Bytes(dir / "out" / name);
        ASSERT_GT(b.size(), 44u);
        EXPECT_EQ(
            std::string(b.begin(), b.begin() + 4) + std::string(b.begin() + 8, b.begin() + 16),
            "RIFFWAVEfmt ");
        // PCM, mono, 22050 a second, 16 bits; the sizes agree with the file.
        EXPECT_EQ(Le(b, 20, 2), 1u);
        EXPECT_EQ(Le(b, 22, 2), 1u);
        EXPECT_EQ(Le(b, 34, 2), 16u);
        EXPECT_EQ(Le(b, 24, 4), 22050u);
        EXPECT_EQ(Le(b, 28, 4), 44100u);
        EXPECT_EQ(Le(b, 4, 4) + 8, b.size());
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_EQ(Le(b, 40, 4) + 44, b.size());
        std::vector<int> samples;
        for (std::size_t i = 44; i + 1 < b.size(); i += 2)
            samples.push_back(static_cast<std::int16_t>(Le(b, i, 2)));
        EXPECT_GE(samples.size() / 22050.0, shortest);
        EXPECT_LE(samples.size() / 22050.0, longest);
        int peak = 0;
        int tail = 0;  // the last 2 ms must already be quiet, or the sound is cut off
        for (std::size_t i = 0; i < samples.size(); ++i) {
            peak = std::max(peak, std::abs(samples[i]));
            if (i + 44 >= samples.size()) tail = std::max(tail, std::abs(samples[i]));
        }
        EXPECT_GT(peak, 32768 * 0.35);
        EXPECT_LT(peak, 32768 * 0.63);
        EXPECT_LE(std::abs(samples.front()), 100);
        EXPECT_LT(tail, peak / 10);
        EXPECT_EQ(b, Bytes(dir / "again" / name));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "again"), fs::directory_iterator()), 4);
    // A place that cannot be written fails with a message.
    std::ofstream(dir / "not-a-directory") << "x";
    EXPECT_FALSE(writeAllSounds(dir / "not-a-directory" / "sub", error));
    EXPECT_FALSE(error.empty());
    std::string target = (dir / "not-a-directory" / "sub").string();
    char program[] = "makewavs";
    char* argv[] = {program, target.data(), nullptr};
    ::testing::internal::CaptureStderr();
    EXPECT_NE(run(2, argv), 0);
    EXPECT_NE(run(1, argv), 0);
    EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
    fs::remove_all(dir);
}

}  // namespace
