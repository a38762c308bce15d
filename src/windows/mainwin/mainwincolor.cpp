#include "mainwin/mainwincolor.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTreeWidget>

#include "mainwin/form1.h"
#include "platform/colors.h"

namespace vz {

namespace {

constexpr quint32 kDark = 0x404040;
constexpr quint32 kListOnDark = 0xC0C0C0;

}  // namespace

void ApplyMainWindowColor(quint32 color) {
  Form1& m = form1();
  // The menu bar is not part of the window's background; without a colour of its
  // own it would take the window's and show its black captions on dark grey.
  QMenuBar* bar = m.menuBar();
  QPalette own = bar->palette();
  own.setColor(QPalette::Window, QApplication::palette(bar).color(QPalette::Window));
  bar->setPalette(own);

  const std::initializer_list<QWidget*> painted = {
      m.Subida,     m.Bajada,     m.Modo,       m.Subtono,   &m,          m.Label9,     m.Frame1,
      m.Frame2,     m.Frame3,     m.Frame4,     m.Frame5,    m.Check1,    m.Check2,     m.Check3,
      m.Label1[3],  m.Label1[9],  m.Label6,     m.Label7,    m.Label2,    m.Label3,     m.Label8,
      m.Label18,    m.Label1[5],  m.Label1[8],  m.Label1[10], m.Label1[0], m.Label1[4], m.Label1[1],
      m.Label1[2],  m.Label1[6],  m.Label1[7],  m.Label1[11], m.Label10[0], m.Label10[1], m.Label10[2],
      m.txt_pagina, m.txt_total,
  };
  for (QWidget* w : painted) setBackColor(w, color);
  setBackColor(m.ListView2, color == kDark ? kListOnDark : kColorWindow);
}

}  // namespace vz
