#pragma once
// Firmware download progress on the terminal: a bar redrawn in place when stderr is a
// terminal, nothing otherwise (a log gets only the result).

#include <cstdio>

#include "HwiSinks.h"

namespace kx30ctl {

class ProgressBar final : public IProgressSink {
public:
    // The library's progress scale: 150 is done.
    static constexpr int kFull = 150;

    // Draws on `out` when `interactive`, else stays silent.
    ProgressBar(std::FILE* out, bool interactive);
    ~ProgressBar() override;
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void postTransferProgress(int wParam) noexcept override;
    // Ends the bar's line (once), so the next message starts on a line of its own.
    void finish() noexcept;

private:
    void draw(int value) noexcept;

    std::FILE* out_;
    bool interactive_;
    bool drawn_ = false;
    int shown_ = -1;  // percent last drawn
};

}  // namespace kx30ctl
