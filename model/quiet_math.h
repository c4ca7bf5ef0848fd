#pragma once

#include <boost/math/policies/policy.hpp>

namespace nivra {

// The Boost.Math policy of the assessment's distributions: out-of-range and not-a-number
// arguments give not-a-number or infinite results instead of exceptions, so that a record with
// impossible inputs still shows every figure and every picture.
using QuietMathPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::promote_double<false>>;

} // namespace nivra
