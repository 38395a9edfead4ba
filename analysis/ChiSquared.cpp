#include "ChiSquared.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace gyro::analysis {

namespace {

constexpr int MaxTerms = 1000;
constexpr double Epsilon = 1e-15;

// Series for x < a + 1.
double gammaSeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < MaxTerms; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::abs(term) < std::abs(sum) * Epsilon)
            break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Continued fraction (modified Lentz) for Q(a, x) = 1 - P(a, x), x >= a + 1.
double gammaContinuedFraction(double a, double x)
{
    constexpr double Tiny = std::numeric_limits<double>::min() / Epsilon;
    double b = x + 1.0 - a;
    double c = 1.0 / Tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < MaxTerms; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::abs(d) < Tiny)
            d = Tiny;
        c = b + an / c;
        if (std::abs(c) < Tiny)
            c = Tiny;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::abs(delta - 1.0) < Epsilon)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

// Above this the incomplete gamma series needs too many terms; Wilson-Hilferty is exact enough.
constexpr double WilsonHilfertyAbove = 2000.0;

} // namespace

double NormalQuantile(double p)
{
    // Bisection on the normal distribution function 0.5 erfc(-z / sqrt(2)).
    double low = -40.0, high = 40.0;
    for (int i = 0; i < 200 && high - low > 1e-15; ++i) {
        const double mid = 0.5 * (low + high);
        if (0.5 * std::erfc(-mid / std::numbers::sqrt2) < p)
            low = mid;
        else
            high = mid;
    }
    return 0.5 * (low + high);
}

double RegularizedGammaP(double a, double x)
{
    if (x <= 0)
        return 0.0;
    if (x < a + 1.0)
        return gammaSeries(a, x);
    return 1.0 - gammaContinuedFraction(a, x);
}

double ChiSquaredQuantile(double p, double dof)
{
    if (dof > WilsonHilfertyAbove) {
        // (x / dof)^(1/3) is close to normal with mean 1 - 2 / (9 dof) and variance
        // 2 / (9 dof); at these dof the quantile is off by less than 1e-6 relative.
        const double v = 2.0 / (9.0 * dof);
        const double c = 1.0 - v + NormalQuantile(p) * std::sqrt(v);
        return dof * c * c * c;
    }
    const double a = dof / 2.0;
    // P(a, x) rises from 0 to 1: widen the bracket until it holds p, then bisect
    // (on the logarithm, since small dof put the low quantiles many decades down).
    double low = 1e-300;
    double high = std::max(1.0, a);
    while (RegularizedGammaP(a, high) < p)
        high *= 2.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = std::sqrt(low * high);
        if (RegularizedGammaP(a, mid) < p)
            low = mid;
        else
            high = mid;
        if (high - low <= high * 1e-14)
            break;
    }
    const double x = 0.5 * (low + high);
    return 2.0 * x; // chi-squared with dof degrees of freedom is twice a gamma(dof / 2) variable
}

} // namespace gyro::analysis
