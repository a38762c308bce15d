#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace vz {

// The key config.ini's passwords are scrambled with.
inline const QString kScramblerKey = QStringLiteral("QX7RTm42s");

// Scrambles (mode 0) or unscrambles (mode -1) a text with a repeating key, code by
// code in Windows-1252, wrapping by 255. Any other mode gives the empty text.
// Unscrambling gives code 255 where the walk ends at 0, so every character a text
// box can hold comes back as it was.
QString ScrambleText(const QString& text, const QString& key, int mode);

// Replaces the URL delimiters of a password by their escapes ("%" first); every
// other character stays.
QString PercentEncodePassword(const QString& text);

// Everything config.ini holds, as the settings controls hold it.
struct ConfigValues {
  QString Estacion;  // station call
  QString Operador;  // operator's call
  QString DiferUTC;  // UTC offset as typed
  QString LogenUso;  // log in use
  QString GridLoca;
  QString UserRuk;  // older upload account
  QString PassRuk;  // its password, stored plain
  int NoBorrar = 0;
  int Pantalla = 0;
  QString HamqUser, HamqPass;  // QRZ
  QString RukqUser, RukqPass;  // Rukanet
  QString EqslUser, EqslPass;
  QString ArcAudio;  // voice-call audio file
  QString Puerto;    // push-to-talk port, "NINGUNO", or empty
  bool PinPttRts = false;
  QString TAntes, TDespues;
};

// The twenty lines of config.ini, passwords scrambled. A password whose scrambled
// form would hold a line break cannot be stored: its line is written without a
// value and its service's name ("QRZ", "Rukanet", "eQSL") is added to unstorable.
// Every value is written on its one line: a line break or tab in it becomes a blank.
QStringList formatConfigLines(const ConfigValues& v, QStringList* unstorable = nullptr);

// What a read of config.ini found. A key that no line held stays unset; the
// grid and the three passwords are always given (empty without their lines), but
// the passwords only count when the file had at least one line.
struct ConfigRead {
  bool anyLine = false;
  std::optional<QString> Estacion, Operador, DiferUTC, LogenUso, UserRuk, PassRuk;
  QString GridLoca;
  std::optional<long long> NoBorrar, Pantalla;
  std::optional<QString> HamqUser, RukqUser, EqslUser, ArcAudio;
  QString HamqPass, RukqPass, EqslPass;  // unscrambled
  // Set only by a line with a value.
  std::optional<QString> Puerto, TAntes, TDespues;
  std::optional<bool> PinPttRts;
};

// Reads config.ini's lines: a line holds a key when it starts with the key; its value is the text from the tenth character on, at most 100 characters (1000
// for the audio file). When several lines hold a key, the last one counts.
ConfigRead parseConfigLines(const QStringList& lines);

// What makes a config.ini that is present unusable, one sentence each, in Spanish:
// no "LogenUso=" line, a log name that is not one of the database's logs (when it
// has any; names compare letter case aside), an empty station call. Empty when the
// settings can be used as read.
QStringList ConfigProblems(const ConfigRead& read, const QStringList& logNames);

}  // namespace vz
