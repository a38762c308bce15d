// What every fuzz target starts from: the input bytes as a file beside the program
// would give them, Windows-1252 text cut into lines by the program's line rule.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "platform/cp1252.h"
#include "platform/textfile.h"

namespace vz::fuzz {

inline QString textOf(const uint8_t* data, size_t size) {
  return decodeCp1252(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
}

inline QStringList linesOf(const uint8_t* data, size_t size) { return splitTextLines(textOf(data, size)); }

// A failed check is a finding: libFuzzer keeps the input that made it.
inline void check(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace vz::fuzz
