#pragma once
// Scoped guards for the flags that switch handlers off while code of the
// program itself changes what they watch: the flag is raised for the scope
// and put back as it was, so that a nested guard (a handler running while a
// form fills) never ends the outer one, and an early return or an exception
// never leaves it raised.
#include <cstdint>

template <class T>
class TScopedFlag {
public:
    explicit TScopedFlag(T& flag, T raised = T(1)) : flag_(flag), saved_(flag) { flag_ = raised; }
    ~TScopedFlag() { flag_ = saved_; }
    TScopedFlag(const TScopedFlag&) = delete;
    TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
    T& flag_;
    T saved_;
};

// The "Updating" flag of a form or a palette.
using TUpdating = TScopedFlag<bool>;
using TUpdatingByte = TScopedFlag<uint8_t>;
