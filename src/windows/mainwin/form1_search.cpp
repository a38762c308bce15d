// The main window's "Buscar/Exportar" and the database copy of "Hacer BackUp".
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "exchange/databasecopy.h"
#include "exchange/form6.h"
#include "mainwin/form1.h"
#include "platform/dialogs.h"
#include "store/programstate.h"

namespace vz {

void Form1::eadif_Click() {
  state().SearchViewOpening = true;
  Label9->setText(QStringLiteral("Cargando ..."));
  Label9->show();
  // The count the last page load made, not one read back from the summary caption
  // (a log name may itself hold ", con ").
  if (state().LogQsoCount == 0) {
    msgBox(QStringLiteral("No hay QSOs para exportar!"), MsgIcon::Exclamation);
    Label9->hide();
    return;
  }
  ListView2->hide();

  Form6& search = form6();
  search.Text1->clear();
  search.Text2->clear();
  const bool filled = search.fillWithCurrentLog();
  Label9->hide();
  if (!filled) {
    ListView2->show();
    return;
  }
  search.exec();
  // The title bar unloads the window; an export only hid it, so it keeps its filters.
  if (FormInstance<Form6>::loaded() && form6().unloadRequested()) FormInstance<Form6>::unload();
  // A QSO deleted from the search view empties the main list, which only the search
  // view's close reloads: however the view went (an export only hides it), the list
  // and its summary come back without the deleted QSO.
  if (ListView2->topLevelItemCount() == 0) {
    LoadLogPage(state().CurrentLogName, 1);
    ListView2->show();
  }
}

void Form1::badeda_Click() { MakeDatedDatabaseCopy(); }

}  // namespace vz
