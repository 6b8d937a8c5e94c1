#include "ProgressBar.h"

#include <algorithm>

namespace kx30ctl {

namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(std::FILE* out, bool interactive) : out_(out), interactive_(interactive) {
    if (interactive_) draw(0);
}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::postTransferProgress(int wParam) noexcept {
    if (interactive_) draw(wParam);
}

void ProgressBar::draw(int value) noexcept {
    const int clamped = std::clamp(value, 0, kFull);
    const int percent = clamped * 100 / kFull;
    if (percent == shown_) return;
    shown_ = percent;
    char bar[kWidth + 1];
    const int filled = clamped * kWidth / kFull;
    std::fill(bar, bar + filled, '#');
    std::fill(bar + filled, bar + kWidth, '.');
    bar[kWidth] = '\0';
    std::fprintf(out_, "\rFlashing [%s] %3d%%", bar, percent);
    std::fflush(out_);
    drawn_ = true;
}

void ProgressBar::finish() noexcept {
    if (!drawn_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    drawn_ = false;
}

}  // namespace kx30ctl
