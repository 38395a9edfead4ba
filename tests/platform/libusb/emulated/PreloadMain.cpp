// Entry point of the emulated-card tests: the process must run with umockdev's
// preload library, which fakes /sys, /dev and udev for libusb. When it is not loaded
// yet, the program starts itself again with it; then a Qt application and GoogleTest.
#include "EmulatedUsbBus.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* RestartMarker = "GYRO_UMOCKDEV_RESTARTED";

void restartWithPreload(char** argv)
{
    if (std::getenv(RestartMarker) != nullptr) { // restarted once already: do not loop
        std::fprintf(stderr, "umockdev's preload library (%s) did not load\n",
                     gyro::test::UmockdevPreloadLibrary);
        std::exit(1);
    }
    setenv(RestartMarker, "1", 1);
    std::string preload = gyro::test::UmockdevPreloadLibrary;
    if (const char* old = std::getenv("LD_PRELOAD"); old != nullptr && *old != '\0')
        preload += std::string(":") + old;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("cannot restart under umockdev");
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    // Listing the tests (CTest's discovery at build time) needs no emulation; it must
    // also work where the preload library cannot join, as in a sanitizer build.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::string(argv[i]) == "--gtest_list_tests";
    if (!listing && !gyro::test::InEmulatedUsbEnvironment())
        restartWithPreload(argv);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
