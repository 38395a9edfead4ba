#include "frmPort.h"
#include "Screenshot.h"
#include "WindowBench.h"

namespace gyro::test {
namespace {

struct PortWindow : ::testing::Test {
    WindowBench b;
    frmPort w{b.g, &b.mainWindow};

    // The simulated port answers at its base address only.
    void portAt(std::int32_t base) { b.sim.parallelPort().setBaseAddress(base); }
    void typeAndConfirm(const QString& text)
    {
        box(w, "txtUser").setText(text);
        click(w, "cmdOK");
    }
    int installerRuns() { return static_cast<int>(b.sim.processes().commandLines().size()); }
};

TEST_F(PortWindow, ShowsTheStoredAddressInHexOnEachActivation)
{
    EXPECT_EQ(w.objectName(), "frmPort");
    EXPECT_EQ(w.windowTitle(), "Parallel Port Setup");
    EXPECT_EQ(w.pos(), b.mainWindow.pos());
    b.g.PortAddress = 888;
    w.show();
    EXPECT_EQ(box(w, "txtUser").text(), "378");
    SaveScreenshot(w, "frmPort");

    // Cancel after an edit changes nothing; the next activation shows the stored address.
    box(w, "txtUser").setText("2BC");
    click(w, "cmdCancel");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(b.g.PortAddress, 888);
    EXPECT_EQ(b.g.InterfaceType, 0);
    w.show();
    EXPECT_EQ(box(w, "txtUser").text(), "378");
}

TEST_F(PortWindow, OkStoresTheTypedAddressAndShowsItBack)
{
    b.g.OsName = "Win98";
    w.show();
    portAt(0x278);
    typeAndConfirm("278");
    EXPECT_EQ(b.g.PortAddress, 632); // 2*256 + 7*16 + 8
    EXPECT_EQ(box(w, "txtUser").text(), "278");
    EXPECT_EQ(b.g.InterfaceType, 1);
    EXPECT_FALSE(w.isVisible());

    w.show();
    portAt(0x3BC);
    typeAndConfirm("3bc");
    EXPECT_EQ(b.g.PortAddress, 956); // 3*256 + 11*16 + 12
    EXPECT_EQ(box(w, "txtUser").text(), "3BC");

    // The h of 378h counts as a zero digit.
    w.show();
    portAt(0x3780);
    typeAndConfirm("378h");
    EXPECT_EQ(b.g.PortAddress, 0x3780);
    EXPECT_EQ(box(w, "txtUser").text(), "3780");
}

TEST_F(PortWindow, EmptyAddressKeepsTheWindowOpenAndChangesNothing)
{
    b.g.PortAddress = 888;
    w.show();
    typeAndConfirm("");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(b.g.PortAddress, 888);
    EXPECT_EQ(b.g.InterfaceType, 0);
}

// With raw port access these would touch I/O ports 0 and 1, or beyond 16 bits.
TEST_F(PortWindow, AddressesThatCannotBeAPortsBaseAreRefusedAndTheWindowStaysOpen)
{
    b.g.OsName = "WinXP";
    b.g.PortAddress = 888;
    w.show();
    // The message names what was typed: a plain hex number as its address, other
    // text as it stands, with the address it reads as (the box then shows that).
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0 is not a parallel port address. "},
        {"0000", "0 is not a parallel port address. "},
        {"FFFF", "FFFF is not a parallel port address. "},
        {"fffe", "FFFE is not a parallel port address. "},
        {"zz", "\"zz\" is not a parallel port address (it reads as 0). "},
        {"1FFFF", "\"1FFFF\" is not a parallel port address (it reads as FFFF). "},
    };
    for (const auto& [typed, told] : cases) {
        SCOPED_TRACE(typed);
        b.ui.clear();
        typeAndConfirm(typed);
        ASSERT_EQ(b.ui.texts().size(), 1);
        EXPECT_EQ(b.ui.texts()[0], told + QStringLiteral("Give the port's base address in hex, 1 to FFFD "
                                                         "(usually 378, 278 or 3BC)."));
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(b.g.PortAddress, 888);
        EXPECT_EQ(b.g.InterfaceType, 0);
    }
    EXPECT_EQ(installerRuns(), 0);
    EXPECT_EQ(b.sim.parallelPort().giveioCalls(), 0);
    EXPECT_TRUE(b.sim.parallelPort().otherWrites().empty());
}

TEST_F(PortWindow, On98FamilyNoDriverIsInstalledAndTheLinesAreLeftAlone)
{
    b.g.OsName = "Win98";
    w.show();
    typeAndConfirm("378");
    EXPECT_EQ(b.g.InterfaceType, 1);
    EXPECT_EQ(installerRuns(), 0);
    EXPECT_EQ(b.sim.parallelPort().giveioCalls(), 0);
    EXPECT_TRUE(b.sim.parallelPort().dataWrites().empty());
    EXPECT_TRUE(b.sim.parallelPort().otherWrites().empty());
    EXPECT_FALSE(b.g.PortDriverReady);
}

TEST_F(PortWindow, OnXpTheDriverIsInstalledAndOpenedOncePerRun)
{
    b.g.OsName = "WinXP";
    w.show();
    typeAndConfirm("378");
    EXPECT_EQ(installerRuns(), 1);
    EXPECT_EQ(b.sim.parallelPort().giveioCalls(), 1);
    EXPECT_TRUE(b.g.PortDriverReady);
    // Idle lines: 0x40 to the status register, then 0 on the data register.
    ASSERT_EQ(b.sim.parallelPort().otherWrites().size(), 1u);
    EXPECT_EQ(b.sim.parallelPort().otherWrites()[0].port, 0x379);
    EXPECT_EQ(b.sim.parallelPort().otherWrites()[0].value, 0x40);
    EXPECT_EQ(b.sim.parallelPort().dataWrites(), std::vector<std::uint8_t>{0});
    EXPECT_TRUE(b.ui.messages.empty());

    w.show();
    portAt(0x278);
    typeAndConfirm("278");
    EXPECT_EQ(installerRuns(), 1);
    EXPECT_EQ(b.sim.parallelPort().giveioCalls(), 1);
    EXPECT_EQ(b.g.PortAddress, 632);
}

TEST_F(PortWindow, PortsThatDoNotOpenAreReportedAndTriedAgainOnTheNextOk)
{
    b.g.OsName = "WinNT";
    b.sim.parallelPort().setGiveioFailure("The parallel port cannot be opened.");
    w.show();
    typeAndConfirm("378");
    EXPECT_EQ(b.ui.texts(), QStringList{"The parallel port cannot be opened."});
    EXPECT_FALSE(b.g.PortDriverReady);
    EXPECT_TRUE(b.sim.parallelPort().dataWrites().empty());

    b.sim.parallelPort().setGiveioFailure({});
    w.show();
    typeAndConfirm("378");
    EXPECT_EQ(b.sim.parallelPort().giveioCalls(), 2);
    EXPECT_TRUE(b.g.PortDriverReady);
}

} // namespace
} // namespace gyro::test
