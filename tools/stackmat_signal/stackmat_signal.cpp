#include "stackmat_signal/stackmat_signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace spinlog::signal_maker {

namespace {

constexpr double kPeriod = 0.112;  // between packets' starts

}  // namespace

QByteArray stackmatBytes(char status, int ms, int generation)
{
    const int seconds = ms / 1000 % 60;
    const int digits[6] = {ms / 60000,    seconds / 10, seconds % 10,
                           ms / 100 % 10, ms / 10 % 10, ms % 10};
    QByteArray bytes(1, status);
    int sum = 0;
    for (int i = 0; i < (generation >= 4 ? 6 : 5); ++i) {
        bytes += char('0' + digits[i]);
        sum += digits[i];
    }
    return bytes + char(64 + sum) + "\n\r";
}

void TimerLine::show(char status, int ms, double seconds)
{
    const double end = at_ + seconds;
    while (at_ < end - 1e-9) {
        const QByteArray packet = stackmatBytes(status, ms, generation_);
        sent_.push_back({status, generation_ >= 4 ? ms : ms / 10 * 10, at_, int(packet.size())});
        bytes(packet);
    }
}

void TimerLine::run(int ms)
{
    const double start = at_;
    // The first packet comes a moment after the hands leave the pads.
    at_ += kPeriod / 2;
    while ((at_ - start) * 1000 < ms) {
        lastMs_ = int(std::lround((at_ - start) * 1000));
        show(' ', lastMs_, kPeriod);
    }
    lastMs_ = ms;
}

void TimerLine::stop(double seconds)
{
    show(generation_ >= 4 ? 'I' : 'S', lastMs_, seconds);
}

void TimerLine::bytes(const QByteArray &bytes)
{
    bursts_.push_back({at_, bytes});
    at_ += kPeriod;
}

void TimerLine::silence(double seconds)
{
    silences_.emplace_back(at_, at_ + seconds);
    at_ += seconds;
}

std::vector<float> TimerLine::render(const LineShape &shape) const
{
    const double rate = shape.rate;
    const float mark = shape.idleHigh ? 1.0f : -1.0f;
    std::vector<float> line(std::size_t(std::ceil(at_ * rate)), mark);
    const auto sample = [&](double seconds) {
        return std::min(line.size(), std::size_t(std::ceil(seconds * rate)));
    };
    for (const auto &[from, to] : silences_)
        std::fill(line.begin() + sample(from), line.begin() + sample(to), 0.0f);
    const double bit = 1.0 / shape.baud;
    for (const Burst &burst : bursts_) {
        for (int b = 0; b < burst.bytes.size(); ++b) {
            const auto value = std::uint8_t(burst.bytes[b]);
            // Start bit (space), eight data bits from the lowest, stop bit (mark).
            for (int i = 0; i < 10; ++i) {
                const bool isMark = i == 9 || (i > 0 && ((value >> (i - 1)) & 1));
                // Each bit ends where the next begins, to the last rounding.
                const auto edge = [&](int k) { return sample(burst.at + (b * 10 + k) * bit); };
                std::fill(line.begin() + edge(i), line.begin() + edge(i + 1),
                          isMark ? mark : -mark);
            }
        }
    }
    // Through the coupling capacitor, then scaled so the line's peaks reach
    // the amplitude asked for, then hum and noise, then the input's clipping.
    const double pass =
        shape.couplingHz > 0 ? 1.0 / (1.0 + 2 * std::numbers::pi * shape.couplingHz / rate) : 1.0;
    std::vector<float> out(line.size());
    double coupled = 0;
    double before = line.empty() ? 0 : line[0];
    double peak = 0;
    for (std::size_t n = 0; n < line.size(); ++n) {
        coupled = shape.couplingHz > 0 ? pass * (coupled + line[n] - before) : line[n];
        before = line[n];
        out[n] = float(coupled);
        peak = std::max(peak, std::abs(coupled));
    }
    std::mt19937 random(shape.seed);
    std::normal_distribution<double> noise(0.0, shape.noise > 0 ? shape.noise : 1.0);
    const double scale = peak > 0 ? shape.amplitude / peak : 0;
    for (std::size_t n = 0; n < out.size(); ++n) {
        const double hum = shape.hum * std::sin(2 * std::numbers::pi * 50 * double(n) / rate + 0.3);
        const double value = out[n] * scale + hum + (shape.noise > 0 ? noise(random) : 0.0);
        out[n] = float(std::clamp(value, -1.0, 1.0));
    }
    return out;
}

QByteArray int16Samples(const std::vector<float> &samples, int channels)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(samples.size() * std::size_t(channels) * 2));
    for (const float value : samples) {
        const auto sample =
            std::int16_t(std::lround(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
        for (int c = 0; c < channels; ++c) {
            bytes += char(sample & 0xff);
            bytes += char((sample >> 8) & 0xff);
        }
    }
    return bytes;
}

}  // namespace spinlog::signal_maker
