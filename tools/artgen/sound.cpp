#include "tools/artgen/sound.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/artgen/image.h"

namespace art {

namespace {

constexpr double kPi = 3.141592653589793;

// A bubble rings at its Minnaert frequency, f = sqrt(3 gamma p) / (2 pi r) ~ 3.26 / r Hz (r in
// metres, near the surface), decays by radiation and thermal losses, and its pitch rises as it
// nears the surface. Model after van den Doel's liquid sounds.
void AddBubble(std::vector<double>& channel, double start, double radius, double gain) {
    const double f0 = 3.26 / radius;
    const double damping = 0.043 * f0 + 0.0014 * std::pow(f0, 1.5);  // 1/s
    const double glide = 0.1 * damping;                               // relative rise per second
    const int length = static_cast<int>(std::min(6.0 / damping, 0.5) * kSoundRate);
    const int n = static_cast<int>(channel.size());
    double phase = 0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kSoundRate;
        const double f = f0 * (1.0 + glide * t);
        if (f >= 0.45 * kSoundRate) break;
        phase += 2 * kPi * f / kSoundRate;
        // A few samples of attack so the burst does not click.
        const double attack = std::min(1.0, t * kSoundRate / 12.0);
        const double v = gain * attack * std::exp(-damping * t) * std::sin(phase);
        const int at = (static_cast<int>(start) + i) % n;  // wrap: the loop has no seam
        channel[at] += v;
    }
}

}  // namespace

std::vector<short> MakeBubbling() {
    std::vector<double> left(kSoundFrames, 0.0), right(kSoundFrames, 0.0);
    Rng rng(20261207);
    const double seconds = static_cast<double>(kSoundFrames) / kSoundRate;
    // A stream of small bubbles, some larger gulps: Poisson times, radii log-uniform.
    struct Stream {
        double rate;            // bubbles per second
        double minR, maxR;      // metres
        double gain;
    };
    const Stream streams[] = {{55, 0.0009, 0.003, 0.55}, {9, 0.003, 0.0075, 0.9}};
    for (const Stream& s : streams) {
        for (int side = 0; side < 3; ++side) {  // left only, right only, both
            double t = 0;
            const double rate = side == 2 ? s.rate * 0.3 : s.rate * 0.7;
            while (true) {
                t += -std::log(1.0 - rng.Uniform()) / rate;
                if (t >= seconds) break;
                const double radius = s.minR * std::pow(s.maxR / s.minR, rng.Uniform());
                const double gain = s.gain * (0.35 + 0.65 * rng.Uniform()) * std::sqrt(radius / s.maxR);
                const double start = t * kSoundRate;
                if (side == 0) AddBubble(left, start, radius, gain);
                if (side == 1) AddBubble(right, start, radius, gain);
                if (side == 2) {
                    // Heard in both ears, a little later and softer on one side.
                    const double pan = rng.Range(-1, 1);
                    const double delay = std::fabs(pan) * 0.0006 * kSoundRate;
                    AddBubble(left, start + (pan > 0 ? delay : 0), radius, gain * (1 - 0.4 * std::max(0.0, pan)));
                    AddBubble(right, start + (pan < 0 ? delay : 0), radius, gain * (1 + 0.4 * std::min(0.0, pan)));
                }
            }
        }
    }
    double peak = 1e-9;
    for (int i = 0; i < kSoundFrames; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    // A gentle limiter: the rare loud gulps do not push the bubbling stream down to a whisper.
    const double drive = 1.2, norm = 0.85 * 32767.0 / std::tanh(drive);
    auto shape = [&](double v) { return static_cast<short>(std::lround(std::tanh(drive * v / peak) * norm)); };
    std::vector<short> out;
    out.reserve(static_cast<std::size_t>(kSoundFrames) * 2);
    for (int i = 0; i < kSoundFrames; ++i) {
        out.push_back(shape(left[i]));
        out.push_back(shape(right[i]));
    }
    return out;
}

void WriteAdpcmWave(const std::string& path, const std::vector<short>& stereo) {
    SF_INFO info{};
    info.samplerate = kSoundRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error(std::string("libsndfile: ") + sf_strerror(nullptr));
    const sf_count_t frames = static_cast<sf_count_t>(stereo.size() / 2);
    if (sf_writef_short(file, stereo.data(), frames) != frames) {
        sf_close(file);
        throw std::runtime_error("libsndfile: short write of " + path);
    }
    sf_close(file);
}

}  // namespace art
