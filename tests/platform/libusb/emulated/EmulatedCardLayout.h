#pragma once
// How an emulated USB SPI card presents itself on the bus: its identity, its speed
// and where its four bulk endpoints sit among the interface's alternate settings.
// The sysfs "descriptors" attribute (device descriptor, then the configuration with
// its interfaces and endpoints) is built from it.
#include <cstdint>
#include <string>
#include <vector>

namespace gyro::test {

enum class EndpointPlacement {
    Setting0,             // alternate setting 0 holds the endpoints (the usual card)
    Setting1Only,         // setting 0 has no endpoints, setting 1 has them
    Setting0ZeroBandwidth // setting 0 lists them with max packet 0, setting 1 is usable
};

struct EmulatedCardLayout {
    std::uint16_t productId = 0x3A51; // 0x3A51 FIFO4, 0x3A62 MCP
    std::string descriptor1 = "USB SPI Card";
    std::string descriptor2 = "SPI Interface";
    std::uint8_t firmwareMajor = 2;
    std::uint8_t firmwareMinor = 3;
    bool highSpeed = true; // 512-byte endpoints at 480 Mbit/s, else 64 at 12 Mbit/s
    EndpointPlacement placement = EndpointPlacement::Setting0;

    std::uint16_t maxPacket() const { return highSpeed ? 512 : 64; }
};

// The card's endpoints, in the order the program's pipes expect them.
constexpr std::uint8_t EndpointRequests = 0x02;   // bulk OUT: requests
constexpr std::uint8_t EndpointAnswers = 0x86;    // bulk IN: answers
constexpr std::uint8_t EndpointSpareOut = 0x04;   // bulk OUT, unused by the protocol
constexpr std::uint8_t EndpointSpeedProbe = 0x88; // bulk IN, read only for its packet size

// The alternate setting whose endpoints carry the traffic.
int UsableAltSetting(const EmulatedCardLayout& layout);
// Number of alternate settings interface 0 has.
int AltSettingCount(const EmulatedCardLayout& layout);
// Max packet size of `endpoint` in `altSetting`; 0 when the setting has no such endpoint.
std::uint16_t EndpointMaxPacket(const EmulatedCardLayout& layout, int altSetting, std::uint8_t endpoint);
bool SettingHasEndpoint(const EmulatedCardLayout& layout, int altSetting, std::uint8_t endpoint);

// Configuration descriptor with its interfaces and endpoints (follows the device
// descriptor in the sysfs "descriptors" attribute).
std::vector<std::uint8_t> ConfigurationDescriptorBytes(const EmulatedCardLayout& layout);

// Bytes as lower-case hex, no separators.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

} // namespace gyro::test
