#pragma once
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <functional>

#include "platform/forms.h"
#include "setup/satelliteeditor.h"

namespace vz {

// "Editar Satélites ...": lists the satellites of satelites.txt, appends new ones
// and edits or deletes one by rewriting the whole file. Shown modally by the main
// window's satellite panel.
class Form11 : public QDialog {
  Q_OBJECT
 public:
  Form11();

  // Called after every change of the satellites file, so the main window can fill
  // its satellite selector again. Program-wide: it outlives the window, which is
  // destroyed when closed from its title bar.
  static void setSatelliteFileChanged(std::function<void()> hook);

  QGroupBox* Frame1;  // "Agregar"
  QGroupBox* Frame2;  // "Editar"
  QGroupBox* Frame3;  // "Editando ...", over Frame2 while an entry is open
  QList<QLabel*> Label1;
  QListWidget* List1;
  QLabel* Label2;  // position in List1 of the entry being edited (hidden)

  QLineEdit* Text1;     // name
  QComboBox* Combo1;    // uplink band
  QLineEdit* Frec_new;  // uplink frequency
  QComboBox* Combo2;    // downlink band
  QComboBox* Combo3;    // mode
  QLineEdit* Text4;     // sub-tone
  QPushButton* Command1;  // "Agregar"

  QLineEdit* Text2;
  QComboBox* Combo8;
  QLineEdit* Text5;
  QComboBox* Combo7;
  QComboBox* Combo6;
  QLineEdit* Text3;
  QPushButton* Command2;  // "Aceptar"
  QPushButton* Command4;  // "Eliminar"
  QPushButton* Command3;  // "Cancelar"

  void Form_Load();
  void List1_DblClick();
  void Command1_Click();
  void Command2_Click();
  void Command4_Click();
  void Command3_Click();
  void Combo1_Click();
  void Combo8_Change();
  void Frec_new_KeyPress(QChar& key);
  void Text5_KeyPress(QChar& key);
  void Frec_new_LostFocus();
  void Text5_LostFocus();

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildList();
  QStringList listEntries() const;
  // Position of the entry opened for editing, found by its content so that a
  // re-sorted list still gives the right one; -1 when it is no longer listed.
  qsizetype openedEntryRow() const;
  void entryGone();
  bool rewriteFile(const QStringList& entries);
  bool appendLine(const QString& line);
  void fileChanged();
  bool frequencyLeaveCheck(QLineEdit* box, QComboBox* band);
  void refuse(const SatelliteRefusal& refusal, QLineEdit* name, QLineEdit* subTone, QComboBox* downlink,
              QLineEdit* frequency);

  QString openedEntry_;
  // The frequency box whose leave check has just refused, while the focus is on its
  // way back into it. That move is no leaving of the other frequency box: with both
  // boxes holding a refused frequency the two checks would otherwise take turns
  // without end.
  QPointer<QLineEdit> refusedBox_;
  // Non-empty lines of the file that are no satellite: kept when the file is rewritten.
  QStringList unlistedLines_;
};

inline Form11& form11() { return FormInstance<Form11>::get(); }

}  // namespace vz
