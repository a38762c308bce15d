#include "contest/keyerport.h"

#include <cmath>

#include "platform/textutil.h"

namespace vz {

QList<KeyerPortChoice> KeyerPortChoices(const QStringList& devices) {
  QList<KeyerPortChoice> choices;
  for (int i = 1; i <= kKeyerPortChoices; ++i) {
    KeyerPortChoice c;
    c.com = QStringLiteral("COM") + QString::number(i);
    c.device = i <= devices.size() ? devices.at(i - 1) : QString();
    c.caption = c.com + QStringLiteral(" (") + (c.device.isEmpty() ? QStringLiteral("no existe") : c.device) + u')';
    choices << c;
  }
  return choices;
}

QString KeyerPortDevice(const QString& com, const QStringList& devices) {
  // "COM3" is the third port the system lists; the number is read as the settings
  // file's reader reads it ("COM3.4" gives 3).
  QString number = com;
  number.remove(QStringLiteral("COM"));
  const long long n = std::llround(vbVal(number));
  return n >= 1 && n <= devices.size() ? devices.at(int(n - 1)) : QString();
}

}  // namespace vz
