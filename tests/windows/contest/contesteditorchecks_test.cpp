#include <gtest/gtest.h>

#include "contest/form7.h"

using namespace vz;

namespace {

TEST(ContestEditorChecks, LeavingABoxShowsItsMessagesInOrder) {
  const struct {
    const char* what;
    QStringList (*check)(const QString&);
    const char* text;
    QStringList messages;
  } cases[] = {
      {"date fine", &Form7::dateProblems, "20240315", {}},
      {"day 45", &Form7::dateProblems, "20240345", {"Error en la fecha, día 45!"}},
      {"day 00", &Form7::dateProblems, "20240300", {"Error en la fecha, día 0!"}},
      {"month 13", &Form7::dateProblems, "20241315", {"Error en la fecha, mes 13!"}},
      {"bad day hides the month", &Form7::dateProblems, "20241345", {"Error en la fecha, día 45!"}},
      {"seven digits, day and month valid", &Form7::dateProblems, "2024031",
       {"Error en la fecha, formato DDMMAAAA!"}},
      {"six digits", &Form7::dateProblems, "202403",
       {"Error en la fecha, formato DDMMAAAA!", "Error en la fecha, día 0!"}},
      {"a ? reads as 0", &Form7::dateProblems, "2024??15", {"Error en la fecha, mes 0!"}},
      {"time fine", &Form7::timeProblems, "2359", {}},
      {"hours and minutes", &Form7::timeProblems, "2575",
       {"Error en la HORA 25!", "Error en los MINUTOS 75!"}},
      {"three digits", &Form7::timeProblems, "930", {"Error en la HORA, formato HHMM!", "Error en la HORA 93!"}},
      {"empty time", &Form7::timeProblems, "", {"Error en la HORA, formato HHMM!"}},
      {"no frequency", &Form7::frequencyProblems, "", {"Ingrese la frecuencia en KHZ!"}},
      {"a ? frequency", &Form7::frequencyProblems, "?", {"Ingrese la frecuencia en KHZ!"}},
      {"below 1 MHz", &Form7::frequencyProblems, "999", {"999 KHz NO ES BANDA DE CONCURSO!"}},
      {"1 MHz", &Form7::frequencyProblems, "1000", {}},
      {"3650 kHz", &Form7::frequencyProblems, "3650", {}},
      {"150 MHz", &Form7::frequencyProblems, "150000", {}},
      {"above 150 MHz", &Form7::frequencyProblems, "150001", {"150001 KHz NO ES BANDA DE CONCURSO!"}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.check(c.text), c.messages) << c.what;
}

}  // namespace
