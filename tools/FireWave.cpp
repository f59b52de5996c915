#include "FireWave.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int SAMPLE_RATE = 11025;
constexpr int CHANNELS = 2;
constexpr int SECONDS = 10;
constexpr int FRAMES = SAMPLE_RATE * SECONDS;
constexpr int LOOP_FADE = SAMPLE_RATE / 2; // the tail cross-fades into the start
constexpr double PI = 3.14159265358979323846;

constexpr double RUMBLE_LEVEL = 9.0; // the low roar of the flames
constexpr double HISS_LEVEL = 2.0;   // the soft hiss above it
constexpr double CRACKLES_PER_SECOND = 9.0;
constexpr double POPS_PER_SECOND = 1.2; // rarer, louder snaps of wood

// A small generator of its own so that the sound never depends on the engine's sequence.
class CNoise
{
public:
    explicit CNoise(uint32_t nSeed) : m_nState(nSeed) {}
    double Uniform() // 0 .. 1
    {
        m_nState = m_nState * 1664525u + 1013904223u;
        return (m_nState >> 8) * (1.0 / 16777216.0);
    }
    double Signed() { return 2.0 * Uniform() - 1.0; }

private:
    uint32_t m_nState;
};

struct Crackle
{
    int nStart;
    int nLength;
    double fLevel;
    double fDecay;
    double fPan; // 0 = left, 1 = right
    double fBrightness;
};

void AddCrackles(std::vector<double> aChannels[CHANNELS], CNoise& noise, int nFrames, double fRate,
                 double fLevelMin, double fLevelRange, int nLengthMin, int nLengthRange)
{
    const double fChance = fRate / SAMPLE_RATE;
    for (int i = 0; i < nFrames; ++i)
    {
        if (noise.Uniform() >= fChance)
            continue;
        Crackle crackle;
        crackle.nStart = i;
        crackle.nLength = nLengthMin + static_cast<int>(noise.Uniform() * nLengthRange);
        crackle.fLevel = fLevelMin + noise.Uniform() * fLevelRange;
        crackle.fDecay = std::exp(-6.0 / crackle.nLength);
        crackle.fPan = 0.2 + 0.6 * noise.Uniform();
        crackle.fBrightness = 0.3 + 0.6 * noise.Uniform();
        double fEnvelope = 1.0;
        double fFiltered = 0.0;
        for (int k = 0; k < crackle.nLength && i + k < nFrames; ++k)
        {
            // A decaying burst of noise, softened by a one-pole low-pass.
            fFiltered += crackle.fBrightness * (noise.Signed() - fFiltered);
            const double fSample = crackle.fLevel * fEnvelope * fFiltered;
            aChannels[0][i + k] += fSample * std::sqrt(1.0 - crackle.fPan);
            aChannels[1][i + k] += fSample * std::sqrt(crackle.fPan);
            fEnvelope *= crackle.fDecay;
        }
    }
}

void PutTag(std::vector<uint8_t>& data, const char* pszTag)
{
    for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<uint8_t>(pszTag[i]));
}
} // namespace

std::vector<uint8_t> BuildFireWave()
{
    // Synthesise a little more than the clip, then fold the extra onto the start.
    const int nSynth = FRAMES + LOOP_FADE;
    std::vector<double> aChannels[CHANNELS] = {std::vector<double>(nSynth, 0.0),
                                               std::vector<double>(nSynth, 0.0)};
    CNoise noise(0x5eed);

    for (int c = 0; c < CHANNELS; ++c)
    {
        double fBrown = 0.0;
        double fLow = 0.0;
        double fHiss = 0.0;
        for (int i = 0; i < nSynth; ++i)
        {
            fBrown = 0.995 * fBrown + 0.08 * noise.Signed();
            fLow += 0.05 * (fBrown - fLow);
            fHiss += 0.35 * (noise.Signed() - fHiss);
            aChannels[c][i] = RUMBLE_LEVEL * fLow + HISS_LEVEL * fHiss;
        }
    }
    AddCrackles(aChannels, noise, nSynth, CRACKLES_PER_SECOND, 6.0, 18.0, 20, 120);
    AddCrackles(aChannels, noise, nSynth, POPS_PER_SECOND, 25.0, 30.0, 60, 200);

    std::vector<uint8_t> samples;
    samples.reserve(static_cast<size_t>(FRAMES) * CHANNELS);
    for (int i = 0; i < FRAMES; ++i)
    {
        for (int c = 0; c < CHANNELS; ++c)
        {
            double fValue = aChannels[c][i];
            if (i < LOOP_FADE)
            {
                // Equal-power fade from what follows the clip's last sample into the start.
                const double fIn = std::sin(0.5 * PI * i / LOOP_FADE);
                const double fOut = std::cos(0.5 * PI * i / LOOP_FADE);
                fValue = fIn * fValue + fOut * aChannels[c][FRAMES + i];
            }
            const long nSample = std::lround(128.0 + fValue);
            samples.push_back(static_cast<uint8_t>(std::clamp(nSample, 0L, 255L)));
        }
    }

    constexpr uint16_t BITS = 8;
    constexpr uint16_t BLOCK_ALIGN = CHANNELS * BITS / 8;
    std::vector<uint8_t> data;
    PutTag(data, "RIFF");
    PutLe32(data, static_cast<uint32_t>(36 + samples.size()));
    PutTag(data, "WAVE");
    PutTag(data, "fmt ");
    PutLe32(data, 16);
    PutLe16(data, 1); // PCM
    PutLe16(data, CHANNELS);
    PutLe32(data, SAMPLE_RATE);
    PutLe32(data, SAMPLE_RATE * BLOCK_ALIGN);
    PutLe16(data, BLOCK_ALIGN);
    PutLe16(data, BITS);
    PutTag(data, "data");
    PutLe32(data, static_cast<uint32_t>(samples.size()));
    data.insert(data.end(), samples.begin(), samples.end());
    return data;
}
