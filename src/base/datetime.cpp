#include "base/datetime.h"

#include <chrono>
#include <cmath>

namespace {

// The host's date-time covers the years 100 to 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.999999;
constexpr double kHalfSecond = 0.5 / 86400.0;

// Day 0 of the host's scale is 30 December 1899.
constexpr std::chrono::sys_days kEpoch =
    std::chrono::sys_days{std::chrono::year{1899} / std::chrono::December / 30};

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0) out += '-';
    for (int i = static_cast<int>(digits.size()); i < width; ++i)
        out += '0';
    out += digits;
}

}  // namespace

COleDateTime COleDateTime::FromHost(const COleDateTime* value) {
    if (value == nullptr) return COleDateTime(0.0, null);
    return *value;
}

COleDateTime COleDateTime::FromFields(int year, int month, int day, int hour, int minute,
                                      int second) {
    using namespace std::chrono;
    year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    if (year < 100 || year > 9999 || !ymd.ok() || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        return COleDateTime(0.0, invalid);
    }
    double days = static_cast<double>((sys_days{ymd} - kEpoch).count());
    double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Before the epoch the fraction counts forward from the start of the day, away from zero.
    return COleDateTime(days >= 0 ? days + time : days - time, valid);
}

bool COleDateTime::GetFields(Fields& fields) const {
    if (m_status != valid || !std::isfinite(m_dt) || m_dt < kMinDate || m_dt > kMaxDate) {
        return false;
    }
    double rounded = m_dt + (m_dt > 0.0 ? kHalfSecond : -kHalfSecond);
    long long days = static_cast<long long>(rounded);  // toward zero
    double magnitude = std::fabs(rounded);
    long seconds = static_cast<long>((magnitude - std::floor(magnitude)) * 86400.0);
    if (seconds >= 86400) seconds = 86399;

    using namespace std::chrono;
    year_month_day ymd{kEpoch + std::chrono::days{days}};
    fields.year = static_cast<int>(ymd.year());
    fields.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    fields.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    fields.hour = static_cast<int>(seconds / 3600);
    fields.minute = static_cast<int>(seconds / 60 % 60);
    fields.second = static_cast<int>(seconds % 60);
    return true;
}

std::string COleDateTime::Format(const char* pattern) const {
    if (m_status == null) return std::string();
    Fields f{};
    if (!GetFields(f)) return "Invalid DateTime";
    std::string out;
    if (pattern == nullptr) return out;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out += *p;
            continue;
        }
        switch (*++p) {
            case 'Y':
                AppendNumber(out, f.year, 4);
                break;
            case 'm':
                AppendNumber(out, f.month, 2);
                break;
            case 'd':
                AppendNumber(out, f.day, 2);
                break;
            case 'H':
                AppendNumber(out, f.hour, 2);
                break;
            case 'M':
                AppendNumber(out, f.minute, 2);
                break;
            case 'S':
                AppendNumber(out, f.second, 2);
                break;
            case '%':
                out += '%';
                break;
            default:
                out += '%';
                out += *p;
                break;
        }
    }
    return out;
}

bool COleDateTime::SameMoment(const COleDateTime& other) const {
    if (m_status != other.m_status) return false;
    if (m_status == null) return true;
    if (m_status == invalid) return false;
    return m_dt == other.m_dt;
}
