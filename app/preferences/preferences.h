#pragma once
// The operator's settings of this program, kept per user under the
// application "OrvaneVLM", section "Preferences", as text ("True"/"False"
// for true/false). Loads itself when created.
//
// For now only the two search settings the record search component takes
// at start-up; the rest come with the preferences screen.

namespace velumar {

class Preferences {
public:
    static constexpr char Application[] = "OrvaneVLM";
    static constexpr char Section[] = "Preferences";

    Preferences();

    // "AutoTruncation": search keys are truncated by themselves. Default false.
    bool AutoTruncate() const { return autoTruncate_; }
    // "RetainSearch": the search window keeps the last search. Default false.
    bool RetainSearch() const { return retainSearch_; }
    // The same as check box values: 1 when set, else 0.
    int AutoTruncateValue() const { return autoTruncate_ ? 1 : 0; }
    int RetainSearchValue() const { return retainSearch_ ? 1 : 0; }

private:
    bool autoTruncate_ = false;
    bool retainSearch_ = false;
};

} // namespace velumar
