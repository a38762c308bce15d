#pragma once
// Push-to-talk: raises or drops one control line of the port the settings chose,
// and tells whoever shows the transmit state (the windows' "Tx" indicators). It
// knows no window: the settings dialog hands it the port, the windows listen.
#include <QObject>
#include <QString>

namespace vz {

class SerialLine;

// Raise or drop one line ("DTR" or "RTS", exactly) of the push-to-talk port and tell
// the listeners. Failures are ignored: with no port open only the indicators change.
void SetPttOn(const QString& line);
void SetPttOff(const QString& line);

// The port push-to-talk keys (not owned); nullptr when there is none.
void setPttPort(SerialLine* port);

// Whether the last call keyed (SetPttOn) rather than dropped.
bool pttTransmitting();

// Tells of every change of the transmit state, keyed or dropped.
class PttNotifier : public QObject {
  Q_OBJECT
 signals:
  void changed(bool transmitting);
};
PttNotifier& pttNotifier();

}  // namespace vz
