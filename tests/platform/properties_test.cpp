// A property tells its host of a change only when the stored value changes:
// not for the same value, not when the host brings the pending value back to
// the one stored, not when the host refuses it.
#include "platform/properties.h"

#include <gtest/gtest.h>

namespace {

// A host that clamps the value to at most Limit, refuses Refused, and counts
// what it is told.
class TCountingHost : public TPropertyHost {
public:
    static constexpr int Limit = 10;
    static constexpr int Refused = 7;
    TProperty<int> Value{this, TPropId::Size, 3};
    int Asked = 0;
    int Changed = 0;

    bool PropertyChanging(TPropId) override {
        ++Asked;
        if (Value.Pending() == Refused) return false;
        if (Value.Pending() > Limit) Value.Pending() = Limit;
        return true;
    }
    void PropertyChanged(TPropId) override { ++Changed; }
};

TEST(Properties, TheChangeEventFiresOnlyWhenTheStoredValueChanges) {
    struct Step {
        int set;
        int stored, asked, changed;  // after the step
    };
    // clang-format off
    const Step steps[] = {
        {3, 3, 0, 0},     // the value it holds: the host is not even asked
        {5, 5, 1, 1},     // a change
        {5, 5, 1, 1},
        {7, 5, 2, 1},     // refused: the value stays, no event
        {12, 10, 3, 2},   // clamped to 10: a change to 10
        {15, 10, 4, 2},   // clamped to the 10 it holds: no event
    };
    // clang-format on
    TCountingHost host;
    for (const Step& s : steps) {
        host.Value = s.set;
        EXPECT_EQ(host.Value.Get(), s.stored) << s.set;
        EXPECT_EQ(host.Asked, s.asked) << s.set;
        EXPECT_EQ(host.Changed, s.changed) << s.set;
    }
}

}  // namespace
