// main() of the tests that talk to the desktop's services: a private bus for both the system and the session
// bus, with the fake desktop on it, set up once the tests are about to run (not when they are only listed).
#include "FakeDesktop.h"
#include "PrivateBus.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace horavia::test {

namespace {

std::unique_ptr<PrivateBus> bus;
std::unique_ptr<FakeDesktop> desktop;

class BusEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        bus = std::make_unique<PrivateBus>();
        ASSERT_TRUE(bus->Start()) << "cannot start a private dbus-daemon (is the dbus package installed?)";
        desktop = std::make_unique<FakeDesktop>(bus->Address());
        ASSERT_TRUE(desktop->IsReady()) << "cannot put the fake desktop services on the private bus";
    }
    void TearDown() override {
        desktop.reset();
        bus.reset();
    }
};

} // namespace

FakeDesktop& Desktop() {
    return *desktop;
}

} // namespace horavia::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new horavia::test::BusEnvironment);
    return RUN_ALL_TESTS();
}
