// makewavs OUTDIR
//
// Build-time generator for the game's sound effects. Every sound is synthesised here so the
// game ships no recorded audio, and the output is bit-for-bit reproducible: noise comes from a
// fixed-seed generator and nothing depends on the clock or the environment.
//
// Files written: card.wav (a card laid on the table), riffle.wav (the deck shuffled when a
// game starts), win.wav (the player won), Uhho.wav (the player lost).
// Format: RIFF WAVE, 16-bit signed PCM, mono, 22050 Hz, the plainest form the game's audio
// back end accepts.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <system_error>
#include <vector>

namespace cardovia::makewavs {

namespace fs = std::filesystem;

constexpr int kSampleRate = 22050;
constexpr double kPi = std::numbers::pi;

// Every sound is normalised to this peak (about -6 dBFS): loud enough to be heard over the
// table, quiet enough that several effects overlapping during play never clip.
constexpr double kPeak = 0.5;

using Signal = std::vector<double>;

int samplesFor(double seconds) {
    return static_cast<int>(std::lround(seconds * kSampleRate));
}
double timeOf(int index) {
    return static_cast<double>(index) / kSampleRate;
}

// ---------------------------------------------------------------------------------------------
// Noise and filters

// SplitMix64 with our own mapping to doubles: the standard distributions are allowed to
// differ between library vendors, which would make the shipped sounds depend on the compiler.
class Noise {
  public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // White noise sample in [-1, 1).
    double white() { return range(-1.0, 1.0); }

  private:
    std::uint64_t state_;
};

// Two-pole band-pass with unity gain at its centre. Paper sounds are mostly a band of hiss a
// few kHz wide; moving the centre is what makes one flick sound different from the next.
class BandPass {
  public:
    BandPass(double centreHz, double q) {
        const double w = 2.0 * kPi * centreHz / kSampleRate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2.0 * std::cos(w) / a0;
        a2_ = (1.0 - alpha) / a0;
    }

    double process(double x) {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

  private:
    double b0_, b2_, a1_, a2_;
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

// ---------------------------------------------------------------------------------------------
// Envelopes and mixing

// Linear rise then exponential fall: the shape of anything struck or flicked.
double strikeEnvelope(double t, double attack, double decay) {
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// Half-cosine ramp from 0 to 1 over `length` seconds; smoother than a straight line, so the
// start and end of a held tone don't add a tick of their own.
double smoothRamp(double t, double length) {
    if (t <= 0.0) return 0.0;
    if (t >= length) return 1.0;
    return 0.5 - 0.5 * std::cos(kPi * t / length);
}

// Forces the very first and last samples to silence. A sound that starts or stops on a
// non-zero value is heard as a click, and the game plays these many times a minute.
void fadeEdges(Signal& s, double fadeIn, double fadeOut) {
    const int n = static_cast<int>(s.size());
    const int in = std::min(n, samplesFor(fadeIn) + 1);
    const int out = std::min(n, samplesFor(fadeOut) + 1);
    for (int i = 0; i < in; ++i) s[i] *= smoothRamp(timeOf(i), timeOf(in - 1));
    for (int i = 0; i < out; ++i) s[n - 1 - i] *= smoothRamp(timeOf(i), timeOf(out - 1));
}

// Adds `part` into `mix` starting at sample `offset`, ignoring whatever falls past the end.
void mixAt(Signal& mix, const Signal& part, int offset, double gain) {
    for (std::size_t i = 0; i < part.size(); ++i) {
        const std::size_t j = static_cast<std::size_t>(offset) + i;
        if (j >= mix.size()) break;
        mix[j] += gain * part[i];
    }
}

// Scales to the given peak and rounds to 16-bit. Rounding (not dithering) keeps the result
// free of any extra randomness.
std::vector<std::int16_t> toPcm(const Signal& s, double peak = kPeak) {
    double loudest = 0.0;
    for (double v : s) loudest = std::max(loudest, std::abs(v));
    const double scale = loudest > 0.0 ? peak / loudest : 0.0;
    std::vector<std::int16_t> pcm;
    pcm.reserve(s.size());
    for (double v : s) {
        const double q = std::clamp(std::round(v * scale * 32767.0), -32768.0, 32767.0);
        pcm.push_back(static_cast<std::int16_t>(q));
    }
    return pcm;
}

// ---------------------------------------------------------------------------------------------
// Synthesis building blocks

// One flick of a card edge: a band of hiss that dies away within a few milliseconds.
Signal paperFlick(Noise& noise, double length, double centreHz, double q, double decay) {
    Signal s(samplesFor(length));
    BandPass filter(centreHz, q);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(static_cast<int>(i));
        s[i] = filter.process(noise.white()) * strikeEnvelope(t, 0.0006, decay);
    }
    return s;
}

// The dull knock of the card landing: a low sine whose pitch sags as it dies.
Signal lowThump(double length, double startHz, double endHz, double decay) {
    Signal s(samplesFor(length));
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(static_cast<int>(i));
        const double hz = endHz + (startHz - endHz) * std::exp(-t / 0.02);
        phase += 2.0 * kPi * hz / kSampleRate;
        s[i] = std::sin(phase) * strikeEnvelope(t, 0.002, decay);
    }
    return s;
}

struct Partial {
    double ratio;  // frequency as a multiple of the note
    double level;
    double decayScale;  // how much faster than the fundamental it dies away
};

// A chime: a few sine partials, the upper ones fading first, which is what makes a struck
// metal bar sound bright at the strike and pure as it rings on.
Signal bellNote(double hz, double length, double decay) {
    static constexpr std::array<Partial, 4> kPartials{{
        {1.0, 1.00, 1.0},
        {2.0, 0.40, 1.8},
        {3.0, 0.15, 2.6},
        {4.2, 0.08, 4.0},  // slightly sharp: a touch of metal rather than an organ pipe
    }};
    Signal s(samplesFor(length));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(static_cast<int>(i));
        double v = 0.0;
        for (const Partial& p : kPartials) {
            if (hz * p.ratio >= kSampleRate / 2.0) continue;
            v += p.level * std::sin(2.0 * kPi * hz * p.ratio * t) *
                 strikeEnvelope(t, 0.003, decay / p.decayScale);
        }
        s[i] = v;
    }
    return s;
}

struct Vowel {
    double firstHz;   // lower resonance of the mouth
    double secondHz;  // upper resonance
};

// How strongly a vowel's resonances pass a harmonic at `hz`: a soft bump around each one,
// on top of a small floor so no harmonic vanishes completely.
double vowelWeight(const Vowel& v, double hz) {
    auto bump = [hz](double centre, double width) {
        const double d = (hz - centre) / width;
        return std::exp(-0.5 * d * d);
    };
    return 0.15 + bump(v.firstHz, 180.0) + 0.6 * bump(v.secondHz, 250.0);
}

// A short sung syllable: a handful of harmonics weighted by the vowel, with a gentle swell
// and release so it sounds voiced rather than beeped. `glide` is the fractional pitch drop
// over the note, `vibrato` the fractional depth of a slow wobble.
Signal voicedTone(double hz, double length, const Vowel& vowel, double glide, double vibrato) {
    constexpr int kHarmonics = 8;
    Signal s(samplesFor(length));
    std::array<double, kHarmonics> phase{};
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(static_cast<int>(i));
        const double bend = 1.0 - glide * (t / length) * (t / length);
        const double wobble = 1.0 + vibrato * std::sin(2.0 * kPi * 5.0 * t) * smoothRamp(t, 0.15);
        const double f0 = hz * bend * wobble;
        double v = 0.0;
        for (int k = 1; k <= kHarmonics; ++k) {
            const double fk = f0 * k;
            phase[k - 1] += 2.0 * kPi * fk / kSampleRate;
            if (fk >= kSampleRate / 2.0) continue;
            v += vowelWeight(vowel, fk) / k * std::sin(phase[k - 1]);
        }
        const double envelope = smoothRamp(t, 0.035) * smoothRamp(length - t, 0.09);
        s[i] = v * envelope;
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// The four sounds

// A card laid on the table: a crisp snap of paper over a faint knock, gone in 75 ms so that
// rapid plays don't blur together.
std::vector<std::int16_t> makeCard() {
    constexpr double kLength = 0.075;
    Noise noise(0xCA4D);
    Signal mix(samplesFor(kLength), 0.0);
    mixAt(mix, paperFlick(noise, kLength, 2800.0, 0.7, 0.009), 0, 1.0);
    // A second, duller layer so the snap sounds like card stock rather than a hiss.
    mixAt(mix, paperFlick(noise, kLength, 900.0, 1.0, 0.006), 0, 0.35);
    mixAt(mix, lowThump(kLength, 140.0, 80.0, 0.016), 0, 0.25);
    fadeEdges(mix, 0.0008, 0.012);
    return toPcm(mix);
}

// The deck riffled at the start of a game: 32 small flicks, spaced widely at first, rushing
// together in the middle of the riffle and spreading out again as the last cards fall. Each
// flick gets its own pitch, loudness and length so the train doesn't sound like a machine.
std::vector<std::int16_t> makeRiffle() {
    constexpr int kFlicks = 32;
    constexpr double kSlowGap = 0.038;
    constexpr double kFastGap = 0.013;
    constexpr double kLead = 0.004;
    constexpr double kTail = 0.045;
    Noise noise(0x5AFF1E);

    std::vector<double> onsets;
    double t = kLead;
    for (int i = 0; i < kFlicks; ++i) {
        onsets.push_back(t);
        const double along = static_cast<double>(i) / (kFlicks - 1);
        const double curve = (2.0 * along - 1.0) * (2.0 * along - 1.0);
        t += (kFastGap + (kSlowGap - kFastGap) * curve) * noise.range(0.85, 1.15);
    }

    Signal mix(samplesFor(onsets.back() + kTail), 0.0);
    for (int i = 0; i < kFlicks; ++i) {
        const double along = static_cast<double>(i) / (kFlicks - 1);
        // Loudest mid-riffle, where the cards are moving fastest.
        const double swell = 0.65 + 0.35 * std::sin(kPi * along);
        const Signal flick = paperFlick(noise, 0.03, noise.range(2200.0, 4800.0),
                                        noise.range(0.8, 1.4), noise.range(0.0025, 0.005));
        mixAt(mix, flick, samplesFor(onsets[i]), swell * noise.range(0.6, 1.0));
    }
    fadeEdges(mix, 0.002, 0.02);
    return toPcm(mix);
}

// Winning a game: a rising major arpeggio (C E G C) of chimes, the top note left to ring.
std::vector<std::int16_t> makeWin() {
    constexpr double kLength = 1.3;
    constexpr std::array<double, 4> kNotes{523.25, 659.26, 783.99, 1046.50};
    constexpr double kStep = 0.11;
    Signal mix(samplesFor(kLength), 0.0);
    for (std::size_t i = 0; i < kNotes.size(); ++i) {
        const bool last = i + 1 == kNotes.size();
        const double onset = 0.005 + kStep * static_cast<double>(i);
        const Signal note = bellNote(kNotes[i], kLength - onset, last ? 0.5 : 0.28);
        mixAt(mix, note, samplesFor(onset), last ? 0.9 : 0.7);
    }
    fadeEdges(mix, 0.002, 0.2);
    return toPcm(mix);
}

// Losing a game: a soft sung "uh-oh", the second syllable a minor third lower and sagging a
// little, with an open "uh" vowel followed by a rounder "oh".
std::vector<std::int16_t> makeUhOh() {
    constexpr double kLength = 0.74;
    constexpr double kUhHz = 392.00;  // G
    constexpr double kOhHz = 329.63;  // E, a minor third below
    constexpr Vowel kUh{650.0, 1150.0};
    constexpr Vowel kOh{470.0, 850.0};
    Signal mix(samplesFor(kLength), 0.0);
    mixAt(mix, voicedTone(kUhHz, 0.26, kUh, 0.0, 0.0), samplesFor(0.005), 1.0);
    mixAt(mix, voicedTone(kOhHz, 0.43, kOh, 0.04, 0.006), samplesFor(0.30), 0.9);
    fadeEdges(mix, 0.002, 0.01);
    // A held voice sounds much louder than a click at the same peak; pull it back a little
    // so losing is consoling rather than jarring.
    return toPcm(mix, 0.42);
}

// ---------------------------------------------------------------------------------------------
// Output

void putU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// The complete file image. Bytes are laid out explicitly as little-endian so the output is
// the same whatever machine builds the game.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& pcm) {
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBits = 16;
    constexpr std::uint16_t kBlockAlign = kChannels * kBits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * kBlockAlign);

    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    putU32(out, 36 + dataBytes);  // everything after this field
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16);
    putU16(out, 1);  // integer PCM
    putU16(out, kChannels);
    putU32(out, kSampleRate);
    putU32(out, kSampleRate * kBlockAlign);
    putU16(out, kBlockAlign);
    putU16(out, kBits);
    putTag(out, "data");
    putU32(out, dataBytes);
    for (std::int16_t s : pcm) putU16(out, static_cast<std::uint16_t>(s));
    return out;
}

// Writes beside the destination and renames into place, so a build interrupted midway never
// leaves a truncated sound for the game to load.
bool writeFileAtomically(const fs::path& target, const std::vector<std::uint8_t>& bytes,
                         std::string& error) {
    fs::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out)
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            error = "cannot write " + temp.string();
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        error = "cannot rename " + temp.string() + " to " + target.string() + ": " + ec.message();
        return false;
    }
    return true;
}

struct SoundFile {
    const char* name;
    std::vector<std::int16_t> (*make)();
};

constexpr std::array<SoundFile, 4> kSounds{{
    {"card.wav", makeCard},
    {"riffle.wav", makeRiffle},
    {"win.wav", makeWin},
    {"Uhho.wav", makeUhOh},
}};

// Creates `dir` if needed (so a fresh build tree works) and writes every sound into it.
bool writeAllSounds(const fs::path& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        error = "cannot create directory " + dir.string() + (ec ? ": " + ec.message() : "");
        return false;
    }
    for (const SoundFile& sound : kSounds) {
        if (!writeFileAtomically(dir / sound.name, encodeWav(sound.make()), error)) return false;
    }
    return true;
}

int run(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: makewavs OUTDIR\n";
        return 2;
    }
    std::string error;
    if (!writeAllSounds(argv[1], error)) {
        std::cerr << "makewavs: " << error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace cardovia::makewavs

#ifndef MAKEWAVS_NO_MAIN
int main(int argc, char** argv) {
    return cardovia::makewavs::run(argc, argv);
}
#endif
