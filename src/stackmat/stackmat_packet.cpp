#include "stackmat/stackmat_packet.h"

#include <cstring>

namespace spinlog {

std::optional<StackmatPacket> readStackmatPacket(std::span<const std::uint8_t> bytes)
{
    const std::size_t digits = bytes.size() - 4;
    if ((digits != 5 && digits != 6) || bytes[bytes.size() - 2] != '\n' || bytes.back() != '\r')
        return std::nullopt;
    if (bytes[0] == 0 || std::strchr("IAS LRC", bytes[0]) == nullptr)
        return std::nullopt;
    int value[6] = {};
    int sum = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const std::uint8_t c = bytes[1 + i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value[i] = c - '0';
        sum += value[i];
    }
    if (value[1] > 5 || bytes[1 + digits] != 64 + sum)
        return std::nullopt;
    StackmatPacket packet;
    packet.status = char(bytes[0]);
    packet.time.ms = value[0] * 60000 + (value[1] * 10 + value[2]) * 1000 + value[3] * 100 +
                     value[4] * 10 + value[5];
    packet.time.thousandths = digits == 6;
    return packet;
}

}  // namespace spinlog
