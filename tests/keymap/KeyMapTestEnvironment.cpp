// One QApplication and one set of skin resources (the real skin bundle) for every test of
// the executable.
#include "KeyMapFixture.h"

#include <QApplication>
#include <QResource>

#include <memory>

namespace {

std::unique_ptr<QApplication> gApp;
std::unique_ptr<SkinResources> gSkin;

class KeyMapEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "keymap_tests";
        static char* argv[] = {name, nullptr};
        gApp = std::make_unique<QApplication>(argc, argv);
        ASSERT_TRUE(QResource::registerResource(QStringLiteral(KX30_SKIN_RCC))) << KX30_SKIN_RCC;
        gSkin = std::make_unique<SkinResources>();
        gSkin->loadBitmaps();
    }
    void TearDown() override {
        gSkin.reset();
        gApp.reset();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new KeyMapEnvironment);

}  // namespace

SkinResources& testSkin() { return *gSkin; }
