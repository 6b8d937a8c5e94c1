// Arbitrary bytes as a profile file: a load either refuses (the configuration stays as it
// was) or takes it; what it took, saved, loaded and saved again gives the same bytes.
#include "FuzzFiles.h"
#include "FuzzCheck.h"
#include "KeyboardConfiguration.h"
#include "Profile.h"

namespace {

KeyboardConfiguration& freshConfiguration(int which) {
    static KeyboardConfiguration configurations[2];
    static const bool built = [] {
        for (auto& c : configurations) {
            c.buildKeyCatalogue();
            c.clearConfiguration();
        }
        return true;
    }();
    (void)built;
    return configurations[which];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto in = kx30fuzz::scratchFile("in.pro");
    const auto first = kx30fuzz::scratchFile("first.pro");
    const auto second = kx30fuzz::scratchFile("second.pro");
    kx30fuzz::writeBytes(in, data, size);

    KeyboardConfiguration& a = freshConfiguration(0);
    KeyboardConfiguration& b = freshConfiguration(1);
    // Whatever a refused load leaves must be what was there: compare the saves around it.
    FUZZ_CHECK(saveProfile(a, first).ok);
    const std::string before = kx30fuzz::readBytes(first);
    if (!loadProfile(a, in).ok) {
        FUZZ_CHECK(saveProfile(a, first).ok);
        FUZZ_CHECK(kx30fuzz::readBytes(first) == before);
        return 0;
    }
    FUZZ_CHECK(saveProfile(a, first).ok);
    FUZZ_CHECK(loadProfile(b, first).ok);
    FUZZ_CHECK(saveProfile(b, second).ok);
    FUZZ_CHECK(kx30fuzz::readBytes(first) == kx30fuzz::readBytes(second));
    return 0;
}
