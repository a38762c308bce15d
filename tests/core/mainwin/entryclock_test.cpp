#include <gtest/gtest.h>

#include "mainwin/entryclock.h"

using namespace vz;

TEST(EntryClock, UtcFromTheConfiguredOffset) {
  struct Case {
    QDateTime local;
    const char* offset;
    const char* date;
    const char* time;
  } cases[] = {
      // Three hours added across the end of the year; the seconds are dropped.
      {QDateTime(QDate(2023, 12, 31), QTime(21, 59, 58)), "-3", "01/01/2024", "00:59"},
      {QDateTime(QDate(2024, 6, 5), QTime(14, 7, 30)), "0", "05/06/2024", "14:07"},
      // East of Greenwich the day can go back.
      {QDateTime(QDate(2024, 3, 1), QTime(1, 15)), "2", "29/02/2024", "23:15"},
      {QDateTime(QDate(2024, 3, 1), QTime(10, 0)), "5.5", "01/03/2024", "04:30"},
      // Not a number reads as no offset.
      {QDateTime(QDate(2024, 3, 1), QTime(10, 0)), "", "01/03/2024", "10:00"},
      {QDateTime(QDate(2024, 3, 1), QTime(10, 0)), "-3 horas", "01/03/2024", "13:00"},
  };
  for (const Case& c : cases) {
    const EntryDateTime t = UtcEntryDateTime(c.local, c.offset);
    EXPECT_EQ(t.date, c.date) << c.offset;
    EXPECT_EQ(t.time, c.time) << c.offset;
  }
}

TEST(EntryClock, AnOffsetOfManyDigitsGivesADateNotACrash) {
  const EntryDateTime t = UtcEntryDateTime(QDateTime(QDate(2024, 3, 1), QTime(10, 0)), "99999999999999999999");
  EXPECT_EQ(t.date.size(), 10);
  EXPECT_EQ(t.time.size(), 5);
}
