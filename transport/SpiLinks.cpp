#include "SpiLinks.h"

#include "InterfaceSettings.h"
#include "ParallelSpi.h"
#include "UsbSpiDrivers.h"

#include <algorithm>

namespace gyro {

namespace {

// The card carries the frames of one transfer on chip-select channel 1, the sensor's.
class UsbSpiLink final : public SpiLink {
public:
    explicit UsbSpiLink(GyroState& g) : g_(g) {}

    std::optional<std::int32_t> readWord(std::int32_t address) override
    {
        // The same read frame twice: the answer to the second is the register.
        const std::int32_t frame = ReadFrame(address);
        if (!transfer({frame, frame}))
            return std::nullopt;
        return words_.UsbRxWords[2];
    }

    bool writeFrames(std::int32_t first, std::int32_t second) override { return transfer({first, second}); }

    bool exchange(std::span<const std::int32_t> frames, std::span<std::int32_t> answers) override
    {
        if (!transfer(frames))
            return false;
        std::copy_n(words_.UsbRxWords.begin() + 1, frames.size(), answers.begin());
        return true;
    }

    // The card's transfers keep the sensor from sleeping between its samples.
    bool allowsLowPowerSampling() const override { return false; }

private:
    bool transfer(std::initializer_list<std::int32_t> frames)
    {
        return transfer(std::span<const std::int32_t>(frames.begin(), frames.size()));
    }
    bool transfer(std::span<const std::int32_t> frames)
    {
        if (frames.size() > UsbMaxWords)
            return false;
        std::copy(frames.begin(), frames.end(), words_.UsbTxWords.begin() + 1);
        g_.UsbSpiChannel = 1;
        const Outcome done = UsbTransfer(g_, words_, static_cast<int>(frames.size()));
        // The link's callers want a reading or none; the card's failure goes to the
        // front end, which tells it (a card that failed before is not told again).
        if (!done)
            g_.ui.tell(done.failure());
        return done.ok();
    }

    GyroState& g_;
    UsbTransferWords words_; // the link's own: no other code sees its frames
};

class ParallelSpiLink final : public SpiLink {
public:
    explicit ParallelSpiLink(GyroState& g) : g_(g) {}

    std::optional<std::int32_t> readWord(std::int32_t address) override { return PortSpiRead(g_, address); }

    bool writeFrames(std::int32_t first, std::int32_t second) override
    {
        PortSpiWrite(g_, first);
        PortSpiWrite(g_, second);
        return true;
    }

    bool exchange(std::span<const std::int32_t> frames, std::span<std::int32_t> answers) override
    {
        for (std::size_t i = 0; i < frames.size(); ++i)
            answers[i] = PortSpiExchange(g_, frames[i]);
        return true;
    }

private:
    GyroState& g_;
};

class NullSpiLink final : public SpiLink {
public:
    std::optional<std::int32_t> readWord(std::int32_t) override { return std::nullopt; }
    bool writeFrames(std::int32_t, std::int32_t) override { return false; }
    bool exchange(std::span<const std::int32_t>, std::span<std::int32_t>) override { return false; }
};

} // namespace

std::unique_ptr<SpiLink> MakeSpiLink(GyroState& g)
{
    switch (ChosenInterface(g)) {
    case InterfaceKind::UsbCard:
        return std::make_unique<UsbSpiLink>(g);
    case InterfaceKind::ParallelPort:
        return std::make_unique<ParallelSpiLink>(g);
    case InterfaceKind::None:
        break;
    }
    return std::make_unique<NullSpiLink>();
}

SpiLink& CurrentLink(GyroState& g)
{
    const InterfaceKind chosen = ChosenInterface(g);
    if (!g.link || g.linkInterface != chosen) {
        g.link = MakeSpiLink(g);
        g.linkInterface = chosen;
    }
    return *g.link;
}

} // namespace gyro
