#pragma once
#include <QColor>
#include <QtGlobal>

class QWidget;

namespace vz {

// Colours as the windows' designs give them: &H00BBGGRR for a fixed colour,
// &H800000nn for a system colour.
inline constexpr quint32 kColorButtonFace = 0x8000000F;
inline constexpr quint32 kColorWindow = 0x80000005;
inline constexpr quint32 kColorWindowText = 0x80000008;

bool isSystemColor(quint32 value);
// The colour a value stands for; system colours come from the application's palette.
QColor colorFromValue(quint32 value);

// Background of a widget (labels, frames, check boxes, the window itself, lists).
void setBackColor(QWidget* w, quint32 value);
// Text colour of a widget.
void setForeColor(QWidget* w, quint32 value);
// The background colour a widget shows.
QColor backColor(const QWidget* w);
// A transmit indicator ("Tx"): white on red while push-to-talk is keyed, white on
// dark red once dropped, following every change for as long as the indicator lives.
void followTransmitState(QWidget* indicator);
QColor foreColor(const QWidget* w);

}  // namespace vz
