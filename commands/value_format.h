// How to_text and message_box spell values: integers in decimal, floats and
// doubles in the C "%g" forms with at least three exponent digits, logical
// values and dates in words. Platform-free, so the output never depends on
// the C library's printf.
#pragma once
#include <string>

#include "runtime/abi/arg_record.h"

namespace commands {

// At most this many bytes come out of one number or date.
constexpr size_t kFormattedMax = 100;

// "%.<precision>g", with the exponent written as a sign and three digits or
// more: 1e+020, 1.5e-005.
std::string FormatGeneral(double value, int precision);

// A single-precision value rounded to six significant digits (halves away
// from zero) and widened, so that 0.1f prints as 0.1.
double NormalizeFloat(float value);

// "1899年12月30日" and the time of day as far as it is not zero: "12时",
// "12时30分", "12时30分15秒". The value is clamped to the date range first.
std::string DateText(double days);

// The text of a number, logical or date-time value; false for any other
// type (texts, byte arrays, objects), which have no such form.
bool FormatValue(const ArgRecord& value, std::string* out);

}  // namespace commands
