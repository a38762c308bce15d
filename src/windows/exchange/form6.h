#pragma once
#include <QDialog>

#include <memory>
#include <vector>

#include "exchange/searchquery.h"
#include "mainwin/qsolist.h"
#include "platform/forms.h"
#include "platform/webget.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;
class QTreeView;
class QEventLoop;

namespace vz {

class SearchListModel;

// "Exportar ...": the search view. It lists the QSOs of the current log, narrows
// them by its filters, exports the listed rows to ADIF and hands a row to the QSO
// edit dialog. The main window's "Buscar/Exportar" fills and shows it; closing it
// from the title bar unloads it, a successful export only hides it.
class Form6 : public QDialog {
  Q_OBJECT
 public:
  Form6();
  ~Form6() override;

  // ---- Filters ----------------------------------------------------------------
  QGroupBox* Frame2;  // "Mi estación"
  QLabel* Label1;     // "Señal Distintiva"
  QLineEdit* Text3;   // own call
  QLabel* Label2;     // "Operador"
  QLineEdit* Text4;   // operator
  QGroupBox* Frame3;  // "QSOs"
  QLabel* Label8;     // "Corresponsal"
  QLineEdit* Text5;   // worked call
  QLabel* Label9;     // "Modo"
  QLineEdit* Text6;
  QLabel* Label10;    // "Banda"
  QLineEdit* Text7;
  QLabel* Label11;    // "Observaciones"
  QLineEdit* Text8;
  QLabel* Label3;     // "Desde"
  QLineEdit* Text1;
  QLabel* Label4;     // "Hasta"
  QLineEdit* Text2;
  QCheckBox* Check1;  // "Satélite"
  QLabel* Image2;     // satellite picture, blinks while "Satélite" is ticked
  QTimer* Timer1;     // its blink, 250 ms
  QGroupBox* Frame4;  // "Ruk"
  QCheckBox* Check2;  // "Solo Argentinos"
  QRadioButton* Option3;  // "Confirmados"
  QRadioButton* Option4;  // "Todos"
  QLabel* Image1;     // shown while "Solo Argentinos" is ticked
  QPushButton* Command3;  // "Buscar"
  QPushButton* Command4;  // "Borrar Filtros"
  QPushButton* Command5;  // the award matrix; hidden, without caption

  // ---- Result list --------------------------------------------------------------
  QLabel* Label13;  // "Buscando ..." / "Actualizando ..."
  QLabel* Label12;  // "QSOs:"
  QLabel* Label6;   // the number of listed rows
  QGroupBox* Frame1;
  QTreeView* ListView2;         // shows ListModel
  SearchListModel* ListModel;  // the listed QSOs, read as they are shown

  // ---- Export and uploads --------------------------------------------------------
  QPushButton* Command1;  // "Exportar ADIF"
  QPushButton* Command6;  // "Subir a Ruk"
  QPushButton* Command8;  // "Subir a eQSL"
  QGroupBox* Frame5;      // "Respuesta", the uploads' answer panel
  QTextEdit* RichTextBox1;
  QProgressBar* ProgressBar1;
  QPushButton* Command7;  // "Cerrar"
  QTimer* Timer2;         // an upload request's time-out, 5000 ms
  WebGet* WebBrowser1;    // the uploads' request channel, one request at a time

  // The heading sort, in force for every later fill until the window is unloaded.
  QsoListSort ListView2Sort;

  // Fills the list with the whole current log, newest first (the opening). False
  // when the log could not be read (the operator has been told).
  bool fillWithCurrentLog();
  // Sets the count caption and runs its change reaction.
  void setListedCount(const QString& caption);
  // The filters as the controls hold them.
  SearchFilters currentFilters() const;

  // The edit dialog's call back after a save or a delete of the QSO.
  void RefreshSearchListRow(qint64 id);

  // Handlers. KeyAscii may be replaced; 0 drops the key.
  void Text1_KeyPress(int& KeyAscii);
  void Text2_KeyPress(int& KeyAscii);
  void Text3_KeyPress(int& KeyAscii);
  void Text4_KeyPress(int& KeyAscii);
  void Text5_KeyPress(int& KeyAscii);
  void Text1_LostFocus();
  void Text2_LostFocus();
  void Text7_LostFocus();
  void Label6_Change();
  void ListView2_ColumnClick(int headingPosition);
  void ListView2_DblClick();
  void Form_Activate();
  void Form_QueryUnload();
  void Timer1_Timer();
  void Check1_Click();
  void Check2_Click();
  void UpdateClearFiltersButton();
  void Command1_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command8_Click();
  void WebBrowser1_NavigateComplete2();
  void Timer2_Timer();
  // True while a heading click's sort is still being worked on (a long list is sorted
  // a piece at a time from the event loop; the list shows its former order until then).
  bool sorting() const { return sortJob_ != nullptr; }
  // True while an upload run waits for its answers.
  bool uploadRunning() const { return uploading_; }

  // Set when the title bar closed the window: its opener then unloads it.
  bool unloadRequested() const { return unloadRequested_; }

 public slots:
  void reject() override;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  // Lists again what the last fill listed (the log, or the last search), under the
  // heading sorts in force. False when the log could not be read.
  Result<SearchListing> listAgain() const;
  void showListing(SearchListing listing);
  // The heading sorts in force, the latest first.
  std::vector<SearchSortKey> sorts_;
  // What the list shows: the opening's log, or a search with these filters.
  bool searched_ = false;
  SearchFilters searchedWith_;
  void dateLeaveCheck(QLineEdit* box);

  // Heading clicks not yet shown: the one being sorted first, then those made while it
  // was sorted, each sorting the list the one before left.
  struct HeadingSort {
    int key;
    Qt::SortOrder order;
  };
  std::vector<HeadingSort> pendingSorts_;
  std::unique_ptr<HeldIdsSort> sortJob_;
  QTimer* sortStep_ = nullptr;
  void startNextSort();
  void continueSort(int budgetMs);
  void cancelSorts();
  void changeEvent(QEvent* e) override;

  void setUpUploads();
  bool waitForAnswer(const QUrl& url);
  void stopUpload();

  bool unloadRequested_ = false;
  bool uploading_ = false;
  bool uploadStop_ = false;
  QEventLoop* answerWait_ = nullptr;
  bool searching_ = false;
};

inline Form6& form6() { return FormInstance<Form6>::get(); }

// Adds a line to the search view's answer box in the colour given as red in the
// lowest byte, then green, then blue.
void AppendUploadAnswerLine(quint32 colour, const QString& text);

}  // namespace vz
