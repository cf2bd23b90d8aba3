// Fixed arrays indexed from 1, as the peak slots and the fit matrices are numbered.
#pragma once

#include <array>
#include <cstddef>

#include "core/Assert.h"

namespace kalvex::core {

/// N slots numbered 1..N; index 0 and N+1 are programmer errors (checked).
template <typename T, std::size_t N>
class OneBased {
public:
    OneBased() { data_.fill(T{}); }

    T& operator[](std::size_t i) {
        KALVEX_ASSERT(i >= 1 && i <= N);
        return data_[i - 1];
    }
    const T& operator[](std::size_t i) const {
        KALVEX_ASSERT(i >= 1 && i <= N);
        return data_[i - 1];
    }
    void Fill(const T& v) { data_.fill(v); }
    static constexpr std::size_t Size() { return N; }
    /// Slot 1 at element 0: for loops that want plain pointers.
    T* Data() { return data_.data(); }
    const T* Data() const { return data_.data(); }

    bool operator==(const OneBased&) const = default;

private:
    std::array<T, N> data_;
};

}  // namespace kalvex::core
