#pragma once
// Days written yyyy-MM-dd, as the console tool's options and our own CSV files give them, within
// the years the data file can store.

#include <QDate>
#include <QDateTime>
#include <QStringView>

#include <optional>

inline constexpr int kFirstStoredYear = 100;
inline constexpr int kLastStoredYear = 9999;

enum class IsoDayError { None, NotADay, OutOfRange };

// "2024-03-05" (a one-digit month or day too, spaces around it ignored) as a date; nullopt when
// it is not one, with error saying whether the form or the year was wrong.
std::optional<QDate> ParseIsoDay(QStringView text, IsoDayError* error = nullptr);

// The first and last moments the data file can store, in UTC. The ends of a range of local days
// are held within them: a zone east of Greenwich puts the start of 1 January 100 in the year 99.
QDateTime FirstStoredMoment();
QDateTime LastStoredMoment();
