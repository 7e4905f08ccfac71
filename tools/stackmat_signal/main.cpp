// Writes a Stackmat timer's signal as 16-bit little-endian samples to
// standard output. Arguments NAME=VALUE shape the line (rate, channels,
// generation 3 or 4, amplitude, noise, hum, idle_high 0 or 1; before the
// steps); STEP:SECONDS tell the timer's story: reset (zero at rest), hands
// (hands on), run (running from zero for that long), stop (stopped at the
// run's time), silence (no line at all), rest (the line at rest).
//   stackmat_signal rate=48000 generation=4 reset:1 run:12.345 stop:2 > pipe

#include "stackmat_signal/stackmat_signal.h"

#include <cmath>
#include <cstdio>
#include <string>

using namespace spinlog::signal_maker;

int main(int argc, char **argv)
{
    LineShape shape;
    int channels = 1;
    int generation = 4;
    TimerLine line(generation);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto mark = arg.find_first_of("=:");
        const std::string name = arg.substr(0, mark);
        const double value = mark == std::string::npos ? -1 : std::atof(arg.c_str() + mark + 1);
        bool known = value >= 0;
        if (known && arg[mark] == '=') {
            if (name == "rate")
                shape.rate = int(value);
            else if (name == "channels")
                channels = int(value);
            else if (name == "generation")
                line = TimerLine(generation = int(value));
            else if (name == "amplitude")
                shape.amplitude = value;
            else if (name == "noise")
                shape.noise = value;
            else if (name == "hum")
                shape.hum = value;
            else if (name == "idle_high")
                shape.idleHigh = value != 0;
            else
                known = false;
        } else if (known) {
            if (name == "reset")
                line.reset(value);
            else if (name == "hands")
                line.show(generation >= 4 ? 'I' : 'C', 0, value);
            else if (name == "run")
                line.run(int(std::lround(value * 1000)));
            else if (name == "stop")
                line.stop(value);
            else if (name == "silence")
                line.silence(value);
            else if (name == "rest")
                line.rest(value);
            else
                known = false;
        }
        if (!known) {
            std::fprintf(stderr, "stackmat_signal: not understood: %s\n", argv[i]);
            return 2;
        }
    }
    const QByteArray bytes = int16Samples(line.render(shape), channels);
    const auto size = std::size_t(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size ? 0 : 1;
}
