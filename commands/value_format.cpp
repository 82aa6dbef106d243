#include "commands/value_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "commands/command_support.h"

namespace commands {

namespace {

template <typename T>
std::string Decimal(T value) {
  char digits[32];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t z, int64_t* year, int* month, int* day) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = yoe + era * 400 + (*month <= 2 ? 1 : 0);
}

constexpr int64_t kDay0FromUnixEpoch = -25569;  // 1899-12-30

// Texts below are GBK bytes written as escapes: the platform-free commands
// are also compiled by compilers that store literals as UTF-8.
constexpr char kYear[] = "\xC4\xEA";    // 年
constexpr char kMonth[] = "\xD4\xC2";   // 月
constexpr char kDay[] = "\xC8\xD5";     // 日
constexpr char kHour[] = "\xCA\xB1";    // 时
constexpr char kMinute[] = "\xB7\xD6";  // 分
constexpr char kSecond[] = "\xC3\xEB";  // 秒
constexpr char kTrue[] = "\xD5\xE6";    // 真
constexpr char kFalse[] = "\xBC\xD9";   // 假

}  // namespace

std::string FormatGeneral(double value, int precision) {
  char buffer[kFormattedMax];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision).ptr;
  std::string text(buffer, end);
  size_t e = text.find('e');
  if (e != std::string::npos && e + 2 <= text.size()) {
    size_t digits = text.size() - (e + 2);
    if (digits < 3) text.insert(e + 2, 3 - digits, '0');
  }
  return text;
}

double NormalizeFloat(float value) {
  if (value == 0) return 0;
  if (!std::isfinite(value)) return value;
  double a = std::fabs(static_cast<double>(value));
  // The binary exponent, taken from the value rather than from the stored
  // exponent field, so that subnormal values keep their digits too.
  int exponent2 = 0;
  std::frexp(a, &exponent2);
  int d = static_cast<int>((exponent2 - 1) * std::log10(2.0));
  double p = PowerOfTen(std::abs(d));
  double x = d > 0 ? a / p : a * p;
  if (x >= 10) {
    p *= 10;
    d += 1;
    x *= 1e4;
  } else if (x < 1) {
    p *= 10;
    d -= 1;
    x *= 1e6;
  } else {
    x *= 1e5;
  }
  double whole = 0;
  if (std::modf(x, &whole) >= 0.5) whole += 1;
  double result = d > 0 ? whole * (p * 1e-5) : whole / (p * 1e5);
  return value < 0 ? -result : result;
}

std::string DateText(double days) {
  if (std::isnan(days)) days = 0;
  days = ClampDateTime(days);
  // As in OLE dates, the whole part counts days and the fraction is the
  // time of day even for negative values.
  double whole = std::trunc(days);
  auto day_number = static_cast<int64_t>(whole);
  auto seconds = static_cast<int64_t>(std::llround(std::fabs(days - whole) * 86400.0));
  // A time that rounds up to midnight is the next day's start, for negative
  // dates too: their time of day also counts forward.
  if (seconds >= 86400) {
    seconds -= 86400;
    day_number += 1;
  }
  int64_t year = 0;
  int month = 0, day = 0;
  CivilFromDays(day_number + kDay0FromUnixEpoch, &year, &month, &day);
  int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
      second = static_cast<int>(seconds % 60);

  std::string text = Decimal(year) + kYear + Decimal(month) + kMonth + Decimal(day) + kDay;
  if (second != 0)
    text += Decimal(hour) + kHour + Decimal(minute) + kMinute + Decimal(second) + kSecond;
  else if (minute != 0)
    text += Decimal(hour) + kHour + Decimal(minute) + kMinute;
  else if (hour != 0)
    text += Decimal(hour) + kHour;
  return text;
}

bool FormatValue(const ArgRecord& value, std::string* out) {
  switch (value.type) {
    case TYPE_BYTE: *out = Decimal(value.value & 0xFFu); return true;
    case TYPE_SHORT: *out = Decimal(static_cast<int16_t>(value.value)); return true;
    case TYPE_INT: *out = Decimal(value.as_int()); return true;
    case TYPE_LONG: *out = Decimal(value.as_long()); return true;
    case TYPE_FLOAT: *out = FormatGeneral(NormalizeFloat(value.as_float()), 6); return true;
    case TYPE_DOUBLE: *out = FormatGeneral(value.as_double(), 13); return true;
    case TYPE_BOOL: *out = value.value != 0 ? kTrue : kFalse; return true;
    case TYPE_DATETIME: *out = DateText(value.as_double()); return true;
    default: return false;
  }
}

}  // namespace commands
