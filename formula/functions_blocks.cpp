// Values of the instrument's blocks and colours: LFS and RGB.

#include "formula/function_kernels.h"

namespace vantor::kernels {

// Turnover-weighted smoothing of the volume against the tradable capital.
void Lfs(std::span<const double> vol, double capital, std::span<double> out) {
    double a = 0, b = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double turnover = vol[i] / (capital / 100);
        a = turnover + a * (1 - turnover) * 12 / 13;
        b = turnover + (1 - turnover) * 0.8 * b;
        out[i] = a != 0 ? Finite((1 - b / a) * 100) : kInvalid;
    }
}

std::int64_t Rgb(double r, double g, double b) {
    auto channel = [](double v) { return BarCount(v) & 0xFF; };
    return channel(r) + channel(g) * 256 + channel(b) * 65536;
}

} // namespace vantor::kernels
