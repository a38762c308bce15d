#pragma once
#include <QDialog>
#include <QList>

#include "platform/forms.h"
#include "store/award.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeView;
class QTreeWidget;

class QKeyEvent;

namespace vz {

class SearchListModel;

class WebGet;

// "Argentina en Ruk": the provinces award. Each activation builds the province-by-
// band grid and the grid-square lists from the input list ListView1, which the main
// window's "Provincias Argentinas" fills. Closing it unloads it.
class Form14 : public QDialog {
  Q_OBJECT
 public:
  Form14();
  ~Form14() override;

  QProgressBar* ProgressBar1;
  QLabel* Image1;  // tick, "Trabajado"
  QLabel* Image2;  // arrow, hidden
  QLabel* Image3;  // star, "Confirmado"
  QLabel* Label1[3];
  QPushButton* Command1;  // "Miembros", hidden
  QLabel* Image4;         // the service's logo
  QGroupBox* Frame1;
  QTreeWidget* ListView2;  // the grid
  QGroupBox* Frame5;       // "Miembros de Ruk", hidden
  QListWidget* List3;      // members lines
  QPushButton* Command2;   // closes Frame5
  QTreeView* ListView1;           // the input list, never seen
  SearchListModel* InputModel;    // its rows, read from the log as the grid is built
  QGroupBox* Frame4;       // "Grillas"
  QGroupBox* Frame2;       // "Confirmadas"
  QListWidget* List1;
  QGroupBox* Frame3;  // "Trabajadas"
  QListWidget* List2;

  // The grid's build reads at most this many input rows, for at most about this
  // long, between two turns of the event loop.
  static constexpr int kRowsPerStep = 512;
  static constexpr int kStepMs = 25;

  void Form_Activate();
  void ListView2_ColumnClick(int headingPosition);
  void Image4_DblClick();
  void Command1_Click();
  void Command2_Click();

  // Shows a matrix tallied elsewhere in the grid; the window's own build then leaves
  // the grid alone until the window is unloaded.
  void ShowMatrix(const AwardGrid& grid);

  // The grid's sort: key column and order of the last heading click.
  int SortKey = 0;
  Qt::SortOrder SortOrder = Qt::AscendingOrder;

 protected:
  bool event(QEvent* e) override;
  // The window has no keys of its own: Esc does not close it, only its title bar does.
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void prepareGrid();
  void addProvinceRows(const AwardGrid& grid, bool coloured);

  WebGet* membersPage_;
  bool matrixShown_ = false;
  bool leftTheProgram_ = false;  // deactivated because another program took the focus
};

inline Form14& form14() { return FormInstance<Form14>::get(); }

// Shows the award window modally and unloads it when it is closed.
void ShowProvincesAward();

}  // namespace vz
