#include "EmulatedCardLayout.h"

#include <array>

namespace gyro::test {

namespace {

constexpr std::array<std::uint8_t, 4> Endpoints{EndpointRequests, EndpointAnswers, EndpointSpareOut,
                                                EndpointSpeedProbe};
constexpr std::uint8_t TransferTypeBulk = 2;

void put16(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// The endpoints' packet size in one setting; nullopt-like -1 when the setting has none.
int settingPacket(const EmulatedCardLayout& layout, int altSetting)
{
    switch (layout.placement) {
    case EndpointPlacement::Setting0:
        return altSetting == 0 ? layout.maxPacket() : -1;
    case EndpointPlacement::Setting1Only:
        return altSetting == 1 ? layout.maxPacket() : -1;
    case EndpointPlacement::Setting0ZeroBandwidth:
        return altSetting == 0 ? 0 : layout.maxPacket();
    }
    return -1;
}

} // namespace

int UsableAltSetting(const EmulatedCardLayout& layout)
{
    return layout.placement == EndpointPlacement::Setting0 ? 0 : 1;
}

int AltSettingCount(const EmulatedCardLayout& layout)
{
    return layout.placement == EndpointPlacement::Setting0 ? 1 : 2;
}

bool SettingHasEndpoint(const EmulatedCardLayout& layout, int altSetting, std::uint8_t endpoint)
{
    if (settingPacket(layout, altSetting) < 0)
        return false;
    for (std::uint8_t e : Endpoints)
        if (e == endpoint)
            return true;
    return false;
}

std::uint16_t EndpointMaxPacket(const EmulatedCardLayout& layout, int altSetting, std::uint8_t endpoint)
{
    if (!SettingHasEndpoint(layout, altSetting, endpoint))
        return 0;
    return static_cast<std::uint16_t>(settingPacket(layout, altSetting));
}

std::vector<std::uint8_t> ConfigurationDescriptorBytes(const EmulatedCardLayout& layout)
{
    std::vector<std::uint8_t> body;
    for (int alt = 0; alt < AltSettingCount(layout); ++alt) {
        const int packet = settingPacket(layout, alt);
        const std::uint8_t endpointCount = packet < 0 ? 0 : static_cast<std::uint8_t>(Endpoints.size());
        // Interface: length, type 4, number 0, alternate setting, endpoints, vendor class.
        body.insert(body.end(),
                    {9, 4, 0, static_cast<std::uint8_t>(alt), endpointCount, 0xFF, 0xFF, 0xFF, 0});
        for (std::size_t e = 0; e < endpointCount; ++e) {
            body.insert(body.end(), {7, 5, Endpoints[e], TransferTypeBulk});
            put16(body, static_cast<std::uint16_t>(packet));
            body.push_back(0); // interval
        }
    }
    std::vector<std::uint8_t> bytes{9, 2};
    put16(bytes, static_cast<std::uint16_t>(9 + body.size()));
    // One interface, configuration value 1, no text, bus powered, 100 mA.
    bytes.insert(bytes.end(), {1, 1, 0, 0x80, 50});
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text.push_back(Digits[b >> 4]);
        text.push_back(Digits[b & 0xF]);
    }
    return text;
}

} // namespace gyro::test
