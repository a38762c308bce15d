// The main list's page loading, paging and heading sort.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "mainwin/form1.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace vz {

namespace {

constexpr int kProgressMaximum = 500;

void advanceProgress(QProgressBar* bar) {
  bar->setValue(bar->value() >= kProgressMaximum ? 0 : bar->value() + 1);
}

}  // namespace

void LoadLogPage(const QString& /*logName: the current log is always the one shown*/, int startRecord) {
  // One load at a time: a message shown by a failing load must not let another begin.
  static bool loading = false;
  if (loading) return;
  loading = true;
  struct Done {
    ~Done() { loading = false; }
  } done;

  Form1& f = form1();
  ProgramState& st = state();
  f.ListView2->hide();
  f.Label9->setText(QStringLiteral("Cargando log ..."));
  f.Label9->show();
  f.ProgressBar1->setMaximum(kProgressMaximum);
  f.ProgressBar1->show();

  st.CurrentLogName.remove(QLatin1Char('\''));
  Result<LogPage> read = ReadLogPage(st.CurrentLogName, startRecord, st.LogPageNumber);
  if (!read.ok()) {
    // A file from an older version may lack a column: add the optional ones and
    // try once more, quietly.
    f.Label9->hide();
    f.ProgressBar1->hide();
    AddProfileColumns();
    read = ReadLogPage(st.CurrentLogName, startRecord, st.LogPageNumber);
  }

  if (!read.ok()) {
    // The list comes back as it was rather than seeming to vanish, and the
    // operator hears about it once.
    f.Label9->hide();
    f.ProgressBar1->hide();
    f.ListView2->show();
    showError(QStringLiteral("No se pudo cargar el log \"%1\":\n%2").arg(st.CurrentLogName, read.error()));
    return;
  }

  const LogPage& page = read.value;
  st.LogQsoCount = page.qsoCount;
  st.LogPageCount = page.pageCount;
  st.LogPageNumber = page.pageNumber;
  st.LogPageStart = page.start;
  f.txt_pagina->setText(QString::number(st.LogPageNumber));
  f.txt_total->setText(QString::number(st.LogPageCount == 0 ? 1 : st.LogPageCount));
  const PagingButtons buttons = PagingButtonsFor(page.qsoCount, page.pageNumber, page.pageCount);
  f.anterior->setEnabled(buttons.first);
  f.menos->setEnabled(buttons.previous);
  f.mas->setEnabled(buttons.next);
  f.ultima->setEnabled(buttons.last);

  f.ListView2->setUpdatesEnabled(false);
  f.ListView2->clear();
  for (const QsoListRow& row : page.rows) {
    AddQsoListRow(f.ListView2, row);
    advanceProgress(f.ProgressBar1);
  }
  ApplyQsoListSort(f.ListView2, f.ListView2Sort);
  f.ListView2->setUpdatesEnabled(true);

  f.ListView2->show();
  f.Label6->setSummary(st.CurrentLogName, page.qsoCount);
  f.ProgressBar1->hide();
  f.Label9->hide();
}

void SetFileMenuEnabled(const QString& flag) {
  Form1& f = form1();
  const bool on = flag != QLatin1String("0");
  f.archivo->menuAction()->setEnabled(on);
  // The entries follow, so no shortcut can start a File command meanwhile.
  for (QAction* a : f.fileMenuActions()) a->setEnabled(on);
}

void Form1::reloadLogPage() {
  ListView2->clear();
  LoadLogPage(state().CurrentLogName, state().LogPageStart);
  Corresponsal->setFocus();
}

void Form1::anterior_Click() {
  ProgramState& st = state();
  st.LogPageNumber = 1;
  if (st.LogPageCount > 1) setPagingButtons(PagingButtonsForPage(st.LogPageNumber, st.LogPageCount));
  st.LogPageStart = 1;
  reloadLogPage();
}

void Form1::menos_Click() {
  ProgramState& st = state();
  st.LogPageNumber -= 1;
  if (st.LogPageCount > 1) setPagingButtons(PagingButtonsForPage(st.LogPageNumber, st.LogPageCount));
  st.LogPageStart -= kLogPageSize;
  reloadLogPage();
}

void Form1::mas_Click() {
  ProgramState& st = state();
  st.LogPageNumber += 1;
  if (st.LogPageCount > 1) setPagingButtons(PagingButtonsForPage(st.LogPageNumber, st.LogPageCount));
  st.LogPageStart += kLogPageSize;
  reloadLogPage();
}

void Form1::ultima_Click() {
  ProgramState& st = state();
  st.LogPageNumber = st.LogPageCount;
  if (st.LogPageCount > 1) setPagingButtons(PagingButtonsForPage(st.LogPageNumber, st.LogPageCount));
  st.LogPageStart = LastPageStart(st.LogQsoCount);
  reloadLogPage();
}

void Form1::Command8_Click() {
  ProgramState& st = state();
  Corresponsal->setFocus();
  const int highest = std::max(1, st.LogPageCount);
  const long long typed = vbValInt(Text3->text());
  int page = int(std::clamp<long long>(typed, 1, highest));
  if (typed < 1) Text3->setText(QStringLiteral("1"));
  if (typed > highest) Text3->setText(QString::number(page));
  // An empty log has no page to go to.
  if (st.LogPageCount == 0 || page == st.LogPageNumber) return;
  st.LogPageStart = kLogPageSize * (page - 1) + 1;
  st.LogPageNumber = page;
  if (st.LogPageCount > 1) setPagingButtons(PagingButtonsForPage(st.LogPageNumber, st.LogPageCount));
  reloadLogPage();
}

void Form1::Text3_KeyPress(int& KeyAscii) {
  const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
  if (!digit && KeyAscii != '\b') KeyAscii = 0;
}

void Form1::Command11_Click() { reloadLogPage(); }

void Form1::ListView2_ColumnClick(int headingPosition) {
  SortQsoListByHeading(ListView2, ListView2Sort, headingPosition);
}

}  // namespace vz
