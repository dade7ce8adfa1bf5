#include "random.h"

#include <cmath>
#include <vector>

namespace kr5::sim {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

SimRandom::SimRandom(quint32 seed, std::initializer_list<quint32> stream) {
    std::vector<quint32> words{seed};
    words.insert(words.end(), stream.begin(), stream.end());
    std::seed_seq seq(words.begin(), words.end());
    engine_.seed(seq);
}

double SimRandom::uniform() {
    // 32 random bits, centred in their cell so that neither 0 nor 1 can come out.
    return (static_cast<double>(engine_()) + 0.5) / 4294967296.0;
}

double SimRandom::between(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

int SimRandom::below(int n) {
    if (n < 1) {
        return 0;
    }
    const int v = static_cast<int>(uniform() * n);
    return v < n ? v : n - 1;
}

double SimRandom::normal() {
    // Box-Muller; the second value is not kept so that every draw costs the same.
    const double u1 = uniform();
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

quint64 SimRandom::poisson(double mean) {
    if (!(mean > 0.0)) {
        return 0;
    }
    if (mean < 40.0) {
        // Multiplying uniforms until the product falls below e^-mean.
        const double limit = std::exp(-mean);
        double product = uniform();
        quint64 k = 0;
        while (product > limit) {
            product *= uniform();
            ++k;
        }
        return k;
    }
    // Large means: the normal approximation is far finer than any reading resolves.
    const double v = std::round(mean + std::sqrt(mean) * normal());
    if (v <= 0.0) {
        return 0;
    }
    return v >= 1e15 ? static_cast<quint64>(1e15) : static_cast<quint64>(v);
}

double SimRandom::weibullMax(quint64 n, double scale, double shape) {
    if (n == 0 || !(scale > 0.0) || !(shape > 0.0)) {
        return 0.0;
    }
    // The maximum of n draws has the distribution F^n; invert it at a uniform u. The tail
    // 1 - u^(1/n) is taken through expm1 so that large n keep their precision.
    const double tail = -std::expm1(std::log(uniform()) / static_cast<double>(n));
    return scale * std::pow(-std::log(tail), 1.0 / shape);
}

}  // namespace kr5::sim
