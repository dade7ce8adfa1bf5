// The simulator's one source of variation. Every draw comes from a Mersenne Twister seeded
// from the scenario's seed, and the distributions are computed here from its raw output
// rather than with the standard library's distributions, whose algorithms differ between
// implementations: a scenario with a seed gives the same readings on every machine.
#pragma once

#include <QtGlobal>
#include <initializer_list>
#include <random>

namespace kr5::sim {

class SimRandom {
  public:
    // A stream for one purpose: the scenario's seed and a few numbers naming the purpose
    // (unit type, address, ...) so that the streams do not disturb one another.
    SimRandom(quint32 seed, std::initializer_list<quint32> stream);

    // Uniform on the open interval (0, 1).
    double uniform();
    // Uniform on [lo, hi).
    double between(double lo, double hi);
    // A whole number 0..n-1 (0 when n < 1).
    int below(int n);
    // Standard normal.
    double normal();
    // Poisson-distributed count with the given mean; 0 for a mean that is not positive.
    quint64 poisson(double mean);
    // The largest of n Weibull-distributed values with this scale and shape, drawn in one
    // step from the distribution of the maximum; 0 when n is 0.
    double weibullMax(quint64 n, double scale, double shape);

  private:
    std::mt19937 engine_;
};

}  // namespace kr5::sim
