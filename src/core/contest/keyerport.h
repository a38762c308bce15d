#pragma once
// The contest keyer's port choices: "COM1" to "COM20", the n-th standing for the n-th
// serial port the system lists, each shown with the device it stands for.
#include <QList>
#include <QString>
#include <QStringList>

namespace vz {

struct KeyerPortChoice {
  QString com;      // "COM3": what the settings file keeps
  QString device;   // "ttyUSB1"; empty when the system lists no port for it
  QString caption;  // "COM3 (ttyUSB1)", or "COM7 (no existe)"
};

inline constexpr int kKeyerPortChoices = 20;

// The twenty choices for the system's ports, in their order.
QList<KeyerPortChoice> KeyerPortChoices(const QStringList& devices);

// The device a choice ("COM3") stands for; empty when the text names no listed port.
QString KeyerPortDevice(const QString& com, const QStringList& devices);

}  // namespace vz
