// Makes Sound.wav: a short two-tone rising beep (16-bit mono PCM, 22050 Hz)
// with soft edges so it does not click; with "warning", Warn.wav: a lower
// single tone, the inspection's calls, which must not be taken for the start.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void put16(std::vector<unsigned char> &out, std::uint16_t v)
{
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}

void put32(std::vector<unsigned char> &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char **argv)
{
    const bool warning = argc == 3 && std::string(argv[2]) == "warning";
    if (argc != 2 && !warning) {
        std::fprintf(stderr, "usage: make_sound PATH [warning]\n");
        return 2;
    }
    constexpr int rate = 22050;
    constexpr double seconds = 0.18;
    constexpr int count = int(rate * seconds);
    constexpr double pi = 3.14159265358979323846;

    std::vector<std::int16_t> samples(count);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double frequency = warning ? 880.0 : t < seconds / 2 ? 1760.0 : 2093.0;
        const double edge = 0.01;
        double envelope = 1.0;
        if (t < edge)
            envelope = t / edge;
        else if (t > seconds - edge)
            envelope = (seconds - t) / edge;
        samples[i] =
            std::int16_t(std::lround(0.45 * 32767 * envelope * std::sin(2 * pi * frequency * t)));
    }

    std::vector<unsigned char> wav;
    const std::uint32_t dataBytes = std::uint32_t(count * 2);
    for (char c : {'R', 'I', 'F', 'F'}) wav.push_back(c);
    put32(wav, 36 + dataBytes);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) wav.push_back(c);
    put32(wav, 16);
    put16(wav, 1);  // PCM
    put16(wav, 1);  // mono
    put32(wav, rate);
    put32(wav, rate * 2);  // bytes per second
    put16(wav, 2);         // block align
    put16(wav, 16);        // bits per sample
    for (char c : {'d', 'a', 't', 'a'}) wav.push_back(c);
    put32(wav, dataBytes);
    for (std::int16_t s : samples) put16(wav, std::uint16_t(s));

    std::FILE *f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(wav.data(), 1, wav.size(), f) != wav.size()) {
        std::fprintf(stderr, "make_sound: cannot write %s\n", argv[1]);
        if (f)
            std::fclose(f);
        return 1;
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
