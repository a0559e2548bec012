// Checks the generated sound files the way the game's audio back end will see them: by reading
// the bytes back from disk with an independent parser, not by trusting the generator's own
// buffers.

#define MAKEWAVS_NO_MAIN
#include "../../tools/makewavs.cpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;
using cardovia::makewavs::run;
using cardovia::makewavs::writeAllSounds;

struct Wav {
    std::uint32_t riffSize = 0, dataSize = 0, sampleRate = 0, byteRate = 0;
    std::uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
    std::size_t fileSize = 0;
    bool riffWave = false, haveFmt = false, haveData = false;
    std::vector<int> samples;

    double seconds() const { return static_cast<double>(samples.size()) / 22050.0; }
};

std::vector<std::uint8_t> readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int width) {
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

// Walks the chunk list rather than assuming a fixed 44-byte layout, so a misplaced or
// mis-sized chunk shows up as a missing or truncated one.
Wav parseWav(const std::vector<std::uint8_t>& b) {
    Wav w;
    w.fileSize = b.size();
    if (b.size() < 12) return w;
    w.riffWave = std::string(b.begin(), b.begin() + 4) == "RIFF" &&
                 std::string(b.begin() + 8, b.begin() + 12) == "WAVE";
    w.riffSize = le(b, 4, 4);
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at),
                             b.begin() + static_cast<long>(at) + 4);
        const std::uint32_t size = le(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && size >= 16) {
            w.haveFmt = true;
            w.format = static_cast<std::uint16_t>(le(b, body, 2));
            w.channels = static_cast<std::uint16_t>(le(b, body + 2, 2));
            w.sampleRate = le(b, body + 4, 4);
            w.byteRate = le(b, body + 8, 4);
            w.blockAlign = static_cast<std::uint16_t>(le(b, body + 12, 2));
            w.bits = static_cast<std::uint16_t>(le(b, body + 14, 2));
        } else if (id == "data") {
            w.haveData = true;
            w.dataSize = size;
            for (std::size_t i = body; i + 1 < b.size() && i + 1 < body + size; i += 2)
                w.samples.push_back(static_cast<std::int16_t>(le(b, i, 2)));
        }
        at = body + size + (size & 1);
    }
    return w;
}

int peakOf(const std::vector<int>& s, std::size_t from, std::size_t to) {
    int peak = 0;
    for (std::size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::abs(s[i]));
    return peak;
}

class GeneratedSounds : public ::testing::Test {
  protected:
    static fs::path makeTempDir() {
        std::string pattern = (fs::temp_directory_path() / "makewavs_test_XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        return pattern;
    }
    static void SetUpTestSuite() {
        dir_ = makeTempDir();
        std::string error;
        generated_ = writeAllSounds(dir_ / "out", error);
        for (const char* name : {"card.wav", "riffle.wav", "win.wav", "Uhho.wav"})
            wavs_[name] = parseWav(readBytes(dir_ / "out" / name));
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    void SetUp() override { ASSERT_TRUE(generated_); }

    static inline fs::path dir_;
    static inline bool generated_ = false;
    static inline std::map<std::string, Wav> wavs_;
};

struct Expected {
    const char* name;
    double minSec, maxSec;
};
void PrintTo(const Expected& e, std::ostream* os) {
    *os << e.name;
}

class EachSound : public GeneratedSounds, public ::testing::WithParamInterface<Expected> {};

TEST_P(EachSound, HeaderIsPlainPcmMono22050WithConsistentSizes) {
    const Wav& w = wavs_[GetParam().name];
    ASSERT_TRUE(w.riffWave && w.haveFmt && w.haveData);
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.sampleRate, 22050u);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.blockAlign, 2);
    EXPECT_EQ(w.byteRate, 44100u);
    EXPECT_EQ(w.riffSize + 8, w.fileSize);
    EXPECT_EQ(w.dataSize, 2 * w.samples.size());
    EXPECT_EQ(w.dataSize + 44, w.fileSize);
}

TEST_P(EachSound, DurationLevelAndClickFreeEdges) {
    const Wav& w = wavs_[GetParam().name];
    EXPECT_GE(w.seconds(), GetParam().minSec);
    EXPECT_LE(w.seconds(), GetParam().maxSec);
    // About -6 dBFS: clearly audible, well clear of clipping.
    const int peak = peakOf(w.samples, 0, w.samples.size());
    EXPECT_GT(peak, 32768 * 0.35);
    EXPECT_LT(peak, 32768 * 0.63);
    ASSERT_GE(w.samples.size(), 2u);
    EXPECT_LE(std::abs(w.samples.front()), 100);
    EXPECT_LE(std::abs(w.samples.back()), 100);
    // The last 2 ms must already be quiet, or the sound is cut off rather than faded.
    EXPECT_LT(peakOf(w.samples, w.samples.size() - 44, w.samples.size()), peak / 10);
}

INSTANTIATE_TEST_SUITE_P(AllFour, EachSound,
                         ::testing::Values(Expected{"card.wav", 0.060, 0.090},
                                           Expected{"riffle.wav", 0.6, 0.9},
                                           Expected{"win.wav", 1.0, 1.5},
                                           Expected{"Uhho.wav", 0.6, 0.8}),
                         [](const auto& test) {
                             const std::string name = test.param.name;
                             return name.substr(0, name.find('.'));
                         });

TEST_F(GeneratedSounds, RebuildIsByteIdenticalAndLeavesNoScratchFiles) {
    std::string error;
    ASSERT_TRUE(writeAllSounds(dir_ / "again", error)) << error;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "again"))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Uhho.wav", "card.wav", "riffle.wav", "win.wav"}));
    for (const std::string& name : names)
        EXPECT_EQ(readBytes(dir_ / "out" / name), readBytes(dir_ / "again" / name)) << name;
}

TEST_F(GeneratedSounds, UnwritableOrMissingOutdirFailsWithAMessage) {
    const fs::path blocker = dir_ / "not_a_dir";
    std::ofstream(blocker) << "x";
    std::string error;
    EXPECT_FALSE(writeAllSounds(blocker / "sub", error));
    EXPECT_FALSE(error.empty());

    std::string target = (blocker / "sub").string();
    char prog[] = "makewavs";
    char* argv[] = {prog, target.data(), nullptr};
    ::testing::internal::CaptureStderr();
    EXPECT_NE(run(2, argv), 0);
    EXPECT_NE(run(1, argv), 0);
    EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
}

}  // namespace
