#pragma once
// The transfer jobs without their window: write every key setting, read the configuration
// back, write the backlight areas. Each runs to its end on the calling thread (a GUI worker
// thread), reports to configuration.transferWindow when one is set, and returns what it
// achieved.
//
// While a job runs it has the configuration and its device to itself: the caller must not
// touch either until the job has returned, even after a cancel. Cancelling takes effect at
// the next boundary the job reaches (between key slots, before and during its waits, between
// library calls); a library transfer already under way runs to its end.

#include <atomic>
#include <chrono>

#include "KeyboardConfiguration.h"

enum class JobStatus : int {
    Ok = 0,                // every library call succeeded
    Cancelled = 1,         // stopped at a boundary; see the job for what was done
    KeyRefused = 2,        // the library refused a key's array (it would not fit a key record)
    PrepareFailed = 3,     // the library's store could not be emptied
    KeyWriteFailed = 4,    // sending the key records failed
    KeyReadFailed = 5,     // the keyboard's key records did not arrive, or a slot could not be read
    LightReadFailed = 6,   // the keyboard's light bytes did not arrive
    LightWriteFailed = 7,  // sending the light bytes failed
};

struct JobResult {
    JobStatus status = JobStatus::Ok;
    // For KeyRefused and a failed slot read: which slot (level 0/1, key 1..87); else -1, 0.
    int level = -1;
    int key = 0;

    bool ok() const { return status == JobStatus::Ok; }
};

struct JobOptions {
    // Pause after a key write or key read before the job ends or goes on (the keyboard
    // stores what it got); tests pass zero.
    std::chrono::milliseconds keySettle{2000};
    // Pause after the backlight write, with the bar full, before the window closes.
    std::chrono::milliseconds lightSettle{1000};
    // Set from another thread to stop the job at its next boundary; may be null.
    const std::atomic<bool>* cancel = nullptr;
};

// Job 1. Empties the library's store, stores the array of every set key of both levels and
// sends the records. When the library refuses an array, nothing is sent: the keyboard keeps
// its whole old configuration rather than receiving a part. Cancelled before the send, nothing
// is sent either.
JobResult writeKeySettings(KeyboardConfiguration& configuration, const JobOptions& options = {});

// Job 3. Reads the key records and turns every slot back into kind, code and events, then
// reads the light bytes into backlight[3..14]. When the key read fails, the configuration is
// left untouched; when only the light read fails (or the job is cancelled after the keys),
// the keys are updated and the backlight is not.
JobResult readConfiguration(KeyboardConfiguration& configuration, const JobOptions& options = {});

// Job 4. Sends backlight[3..14] as the twelve light bytes; with a window, shows the bar full
// and waits before finishing.
JobResult writeBacklightAreas(KeyboardConfiguration& configuration, const JobOptions& options = {});
