#pragma once
// The host's date-time value: days since 30 December 1899 with the time of day as the
// fraction, plus a status. Laid out as the host's compiler lays out { double; int; } so
// that the host can hand us a pointer to its own object.
#include <cstddef>
#include <cstdint>
#include <string>

class COleDateTime {
public:
    enum DateTimeStatus : int32_t { valid = 0, invalid = 1, null = 2 };

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;

    COleDateTime() = default;
    COleDateTime(double dt, DateTimeStatus status = valid) : m_dt(dt), m_status(status) {}

    // A null pointer from the host is a null date-time.
    static COleDateTime FromHost(const COleDateTime* value);
    // Builds a valid value from calendar fields (tests, tools); out-of-range fields give an
    // invalid value.
    static COleDateTime FromFields(int year, int month, int day, int hour, int minute,
                                   int second = 0);

    struct Fields {
        int year, month, day, hour, minute, second;
    };
    // Calendar fields, rounded to the nearest second so that a time held as a double never
    // comes out a second early. False for a value that is not a valid date.
    bool GetFields(Fields& fields) const;

    // strftime-style patterns (%Y %m %d %H %M %S %%). An invalid value gives
    // "Invalid DateTime", a null one an empty text.
    std::string Format(const char* pattern) const;

    // The removal's match: same status and, when valid, exactly the same value; two null
    // values are equal, two invalid ones never are.
    bool SameMoment(const COleDateTime& other) const;
};

#if defined(_WIN32)
static_assert(sizeof(COleDateTime) == 16, "the host passes a 16-byte date-time");
static_assert(offsetof(COleDateTime, m_status) == 8, "status follows the double");
#endif
