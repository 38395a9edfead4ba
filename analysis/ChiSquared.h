#pragma once
// The chi-squared distribution for the Allan deviation's confidence intervals:
// the regularized lower incomplete gamma function and its inverse, so that any
// degrees of freedom (also the fractional ones of an equivalent-degrees-of-freedom
// estimate, and the small ones of the longest cluster times) get exact bounds.
namespace gyro::analysis {

// P(a, x), the regularized lower incomplete gamma function, for a > 0, x >= 0.
double RegularizedGammaP(double a, double x);

// The standard normal quantile: z with P(Z < z) = p.
double NormalQuantile(double p);

// The chi-squared value below which a fraction p (0 < p < 1) of the distribution
// with `dof` degrees of freedom (> 0) lies.
double ChiSquaredQuantile(double p, double dof);

} // namespace gyro::analysis
