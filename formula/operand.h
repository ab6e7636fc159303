#pragma once
// One resolved argument of a formula function: a series (its values, at least the data
// length of them) or a constant standing in for a series holding it on every bar. The
// handlers resolve argument texts into it and the kernels read it.

#include <span>
#include <vector>

namespace vantor {

class Tbian;

struct Operand {
    Tbian* series = nullptr;      // the variable the values belong to, when one was named
    const double* data = nullptr; // the values; nullptr for a constant
    double value = 0;             // the constant

    Operand() = default;
    Operand(std::span<const double> s) : data(s.data()) {}
    Operand(const std::vector<double>& s) : data(s.data()) {}
    Operand(double constant) : value(constant) {}
    bool IsSeries() const { return data != nullptr; }
    bool IsConst() const { return data == nullptr; }
    double operator[](int i) const { return data ? data[i] : value; }
};

} // namespace vantor
