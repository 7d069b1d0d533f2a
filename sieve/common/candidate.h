// One candidate number of a filter, split into its digits (leftmost first),
// and the digit properties every filter's criterion groups are built from.
#pragma once

#include <array>
#include <cstdint>

namespace sieve {

inline constexpr int kMinDigits = 2;
inline constexpr int kMaxDigits = 5;

// 10^digitCount: how many candidates a filter of that many digits holds.
constexpr int candidateCount(int digitCount) {
    int count = 1;
    for (int i = 0; i < digitCount; ++i)
        count *= 10;
    return count;
}

constexpr bool isSmall(int digit) {
    return digit <= 4;
}
constexpr bool isEven(int digit) {
    return digit % 2 == 0;
}
// 1 counts as prime; 0 and 9 are composite.
constexpr bool isComposite(int digit) {
    return digit == 0 || digit == 4 || digit == 6 || digit == 8 || digit == 9;
}

class Digits {
  public:
    // `value` is a candidate 0 .. 10^count − 1, written with leading zeros.
    constexpr Digits(int value, int count) : count_(count) {
        for (int i = count - 1; i >= 0; --i) {
            digits_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value % 10);
            value /= 10;
        }
    }

    constexpr int count() const { return count_; }
    // Position 0 is the leftmost digit.
    constexpr int operator[](int position) const {
        return digits_[static_cast<std::size_t>(position)];
    }

    constexpr int sum() const {
        int total = 0;
        for (int i = 0; i < count_; ++i)
            total += (*this)[i];
        return total;
    }
    constexpr int tail() const { return sum() % 10; }
    constexpr int smallest() const {
        int least = 9;
        for (int i = 0; i < count_; ++i)
            least = (*this)[i] < least ? (*this)[i] : least;
        return least;
    }
    constexpr int largest() const {
        int most = 0;
        for (int i = 0; i < count_; ++i)
            most = (*this)[i] > most ? (*this)[i] : most;
        return most;
    }
    constexpr int span() const { return largest() - smallest(); }

    // The pattern boxes count in base 2, the first position most significant
    // and the first-named word (大, 奇, 质) as 0.
    constexpr int bigSmallIndex() const { return patternIndex(isSmall); }
    constexpr int oddEvenIndex() const { return patternIndex(isEven); }
    constexpr int primeCompositeIndex() const { return patternIndex(isComposite); }
    // The 012路 boxes count in base 3, the first position most significant.
    constexpr int routeIndex() const {
        int index = 0;
        for (int i = 0; i < count_; ++i)
            index = index * 3 + (*this)[i] % 3;
        return index;
    }

    // How many positions hold `value`.
    constexpr int occurrences(int value) const {
        int times = 0;
        for (int i = 0; i < count_; ++i)
            times += (*this)[i] == value ? 1 : 0;
        return times;
    }
    // Bit v set when some position holds v.
    constexpr std::uint16_t valueSet() const {
        std::uint16_t set = 0;
        for (int i = 0; i < count_; ++i)
            set = static_cast<std::uint16_t>(set | (1u << (*this)[i]));
        return set;
    }
    constexpr int distinctCount() const {
        int distinct = 0;
        for (std::uint16_t set = valueSet(); set != 0;
             set = static_cast<std::uint16_t>(set & (set - 1)))
            ++distinct;
        return distinct;
    }
    // The largest number of positions that share one value (1 when all differ).
    constexpr int largestMultiplicity() const {
        int most = 0;
        for (int value = 0; value <= 9; ++value)
            most = occurrences(value) > most ? occurrences(value) : most;
        return most;
    }

  private:
    constexpr int patternIndex(bool (*secondWord)(int)) const {
        int index = 0;
        for (int i = 0; i < count_; ++i)
            index = index * 2 + (secondWord((*this)[i]) ? 1 : 0);
        return index;
    }

    std::array<std::uint8_t, kMaxDigits> digits_{};
    int count_;
};

} // namespace sieve
