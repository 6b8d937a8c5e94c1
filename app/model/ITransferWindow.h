#pragma once
// The receiver of a transfer job's messages: the progress of the library's transfers
// (IProgressSink) and the job's end. Implementations post to their window and return at once;
// both calls come from the job's worker thread.

#include "HwiSinks.h"

class ITransferWindow : public IProgressSink {
public:
    // WM_TRANSFER_FINISHED. For the key and backlight jobs wParam is 0 when the job did all
    // its work and a JobStatus value otherwise; for a firmware download, its outcome.
    virtual void postTransferFinished(int wParam) noexcept = 0;
};
