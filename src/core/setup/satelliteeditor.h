#pragma once
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

#include "store/satellites.h"

namespace vz {

// The rules of the satellites editor (Form11), kept apart from its controls.

// The six fields the editor shows and writes, as typed in its boxes.
struct SatelliteFields {
  QString name;
  QString uplinkBand;
  QString downlinkBand;
  QString mode;
  QString subTone;
  QString frequency;
};

// An entry of the editor's list: the six fields joined by ";", a missing sub-tone
// as " " and a missing frequency as empty text ("AO-7;70cm;2m;SSB;100.4;").
QString EditorListEntry(const SatelliteEntry& entry);
// Splits a list entry at its first five ";"; the rest is the frequency.
SatelliteFields SplitEditorEntry(const QString& entry);
QString JoinEditorEntry(const SatelliteFields& fields);
// The list keeps its entries in alphabetical order of name, then of the other
// fields, without regard to letter case.
bool editorEntryLess(const QString& a, const QString& b);

// The frequency boxes take 8 characters for a 23 cm uplink ("MMMM.KKK"), else 7.
int FrequencyMaxLength(const QString& uplinkBand);
// The characters a frequency box accepts from the keyboard: digits, ".", "?" and
// Backspace.
bool IsFrequencyKey(QChar key);
// The check made when the focus leaves a frequency box, and again before the
// satellite is stored: the format of the uplink's band, then its band limits.
// Empty text (or blanks: "no frequency" in the file) passes. Returns the message
// of the first test that fails, or empty text.
QString CheckUplinkFrequency(const QString& uplinkBand, const QString& text);

// Where the focus goes after a refusal.
enum class SatelliteField { None, Name, SubTone, DownlinkBand, Frequency };
struct SatelliteRefusal {
  QString message;
  SatelliteField focus = SatelliteField::None;
};
// The checks of "Agregar" and "Aceptar", on an already upper-cased name: a name,
// no ";" in a typed field (it would split the line into other fields), no line
// break or tab (it would split the file's line), different
// uplink and downlink bands, the uplink frequency, and no other entry of the list
// (other than the one at except) with the same name, letter case included.
std::optional<SatelliteRefusal> CheckSatelliteFields(const SatelliteFields& fields,
                                                     const QStringList& listEntries,
                                                     qsizetype except = -1);

}  // namespace vz
