#include "ProfileStore.h"

#include "KeyboardConfiguration.h"

#if __has_include("Profile.h")
#include "Profile.h"
#define KX30_HAVE_PROFILE_FILES 1
#else
#define KX30_HAVE_PROFILE_FILES 0
#endif

namespace {

class ModelProfileStore final : public ProfileStore {
public:
    ProfileOutcome save(const KeyboardConfiguration& configuration,
                        const std::filesystem::path& path) override {
#if KX30_HAVE_PROFILE_FILES
        const ProfileResult result = saveProfile(configuration, path);
        return {result.ok, result.message};
#else
        (void)configuration;
        (void)path;
        return {false, "profile files are not built in"};
#endif
    }

    ProfileOutcome load(KeyboardConfiguration& configuration,
                        const std::filesystem::path& path) override {
#if KX30_HAVE_PROFILE_FILES
        const ProfileResult result = loadProfile(configuration, path);
        return {result.ok, result.message};
#else
        (void)configuration;
        (void)path;
        return {false, "profile files are not built in"};
#endif
    }
};

}  // namespace

std::unique_ptr<ProfileStore> makeModelProfileStore() {
    return std::make_unique<ModelProfileStore>();
}

bool modelProfilesAvailable() {
    return KX30_HAVE_PROFILE_FILES != 0;
}
