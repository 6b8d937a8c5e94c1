#pragma once
// How the main window saves and opens profiles. The real store hands the configuration to
// the profile file code of the model; tests can put in a store that fails on purpose.

#include <filesystem>
#include <memory>
#include <string>

class KeyboardConfiguration;

struct ProfileOutcome {
    bool ok = false;
    std::string message;  // what went wrong; empty on success
};

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Writes the configuration to `path`. A failed save leaves any file already at `path` as
    // it was.
    virtual ProfileOutcome save(const KeyboardConfiguration& configuration,
                                const std::filesystem::path& path) = 0;
    // Reads the profile at `path` into the configuration. A refused file leaves the
    // configuration unchanged.
    virtual ProfileOutcome load(KeyboardConfiguration& configuration,
                                const std::filesystem::path& path) = 0;
};

// The store on the model's profile files.
std::unique_ptr<ProfileStore> makeModelProfileStore();
// Whether the model's profile files are built in (false while that code is not there yet, and
// the model store then refuses every save and load).
bool modelProfilesAvailable();
