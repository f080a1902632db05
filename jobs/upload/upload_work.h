#pragma once
// The work of an upload screen, done a piece at a time (a record, a key, a
// request) so that its window stays responsive: the screen calls Step until
// it answers false. Requests and messages come in the same order as if the
// work ran in one go. A cancel asked for is seen after the record in hand.

namespace velumar {

class UploadWork {
public:
    virtual ~UploadWork() = default;

    // Does the next piece; false once the work has finished.
    virtual bool Step() = 0;

    void RequestCancel() { cancelRequested_ = true; }
    bool CancelRequested() const { return cancelRequested_; }

private:
    bool cancelRequested_ = false;
};

} // namespace velumar
