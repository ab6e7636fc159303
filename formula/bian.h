#pragma once
// Tbian: one named series of a formula program, and the invalid value that marks a bar
// without a value.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

// A bar without a value holds exactly this number in every series.
constexpr double kInvalidValue = -10000000.0;
// The logical capacity of a series: no series holds 50000 values or more.
constexpr int kMaxBars = 50000;

inline bool IsValid(double v) {
    return v != kInvalidValue;
}
// NaN and infinities become the invalid value.
inline double Finite(double v) {
    return std::isfinite(v) ? v : kInvalidValue;
}

// One named series. Storage is sized to the data rather than to the logical capacity;
// positions past the storage read as 0, as unwritten positions of a full block would.
class Tbian {
public:
    std::string name; // lower case
    int len = 0;      // number of valid positions
    std::vector<double> value;
    // Bookkeeping of incremental runs (see TGS::Run): which write of the program last
    // filled the series, the run that last stamped it, and the first bar that may differ
    // from what that run's predecessor left.
    std::uint64_t writes = 0, stampSerial = 0;
    int from = 0;

    Tbian() = default;
    Tbian(std::string name1, int len1) { Create(std::move(name1), len1); }

    // A new series of len1 values, all 0; with `zero` false, the values storage held before
    // stay in place for a writer that sets every one of them.
    void Create(std::string name1, int len1, bool zero = true) {
        name = std::move(name1);
        len = len1;
        if (zero)
            value.assign(static_cast<size_t>(std::max(len1, 0)), 0.0);
        else
            value.resize(static_cast<size_t>(std::max(len1, 0)));
    }
    // Sets the first len1 values to f1 and the length to len1.
    void SetValue(double f1, int len1) {
        Reserve(len1);
        std::fill_n(value.begin(), std::max(len1, 0), f1);
        len = len1;
    }
    // Copies name, length and values of another series.
    void SetBian(const Tbian& b1) {
        name = b1.name;
        SetDouble(b1.value.data(), std::min<int>(b1.len, static_cast<int>(b1.value.size())));
        len = b1.len;
    }
    void SetDouble(const double* f1, int len1) {
        Reserve(len1);
        if (len1 > 0) std::copy_n(f1, len1, value.begin());
        len = len1;
    }
    void Clone(const Tbian& b1) {
        name = b1.name;
        len = b1.len;
        value = b1.value;
    }
    double* GETVALUE() { return value.data(); }
    const double* GETVALUE() const { return value.data(); }

    // Grows the storage to at least n positions (new positions read 0); the length stays.
    void Reserve(int n) {
        if (n > static_cast<int>(value.size())) value.resize(static_cast<size_t>(n), 0.0);
    }
    // The value at bar i, 0 past the storage.
    double at(int i) const {
        return i >= 0 && i < static_cast<int>(value.size()) ? value[static_cast<size_t>(i)] : 0.0;
    }
    double last() const { return len > 0 ? at(len - 1) : kInvalidValue; }
};

} // namespace vantor
