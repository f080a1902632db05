#pragma once
// What a screen shows while ids go to a record set in several batches.

namespace velumar {

class RecordSetProgress {
public:
    virtual ~RecordSetProgress() = default;
    // `current` of `maximum` ids sent so far.
    virtual void ProgressShow(int current, int maximum) = 0;
    virtual void ProgressHide() = 0;
};

} // namespace velumar
