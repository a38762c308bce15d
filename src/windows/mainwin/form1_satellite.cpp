// Satellite mode of the entry strip: the "Vía Satélite" box, the satellite panel and
// its selector, the editor and the pass-prediction page.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "mainwin/form1.h"
#include "platform/launcher.h"
#include "setup/form11.h"
#include "store/memoryfiles.h"
#include "store/programstate.h"
#include "store/satellites.h"

namespace vz {

namespace {

// Chooses an entry a drop-down list offers, which runs the list's reaction as the
// operator's choice would. False, and nothing changed, when the list lacks it.
bool chooseOffered(QComboBox* combo, const QString& text) {
  const int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i < 0) return false;
  combo->setCurrentIndex(i);
  return true;
}

}  // namespace

QUrl SatellitePassPage() { return QUrl(QStringLiteral("https://www.amsat.org.ar/pass.htm")); }

void Form1::fillSatelliteSelector() {
  const QList<SatelliteEntry> entries = LoadSatelliteList();
  {
    // Refilled quietly: afterwards no satellite is chosen.
    const QSignalBlocker block(Combo3);
    Combo3->clear();
    Combo3->addItems(SatelliteSelectorNames(entries));
    Combo3->setCurrentIndex(-1);
  }
  if (entries.isEmpty()) return;  // the labels keep what they showed
  const SatellitePanelCaptions c = LoaderCaptions(entries.last());
  Subida->setText(c.subida);
  Bajada->setText(c.bajada);
  Modo->setText(c.modo);
  Subtono->setText(c.subtono);
}

void Form1::Check2_Click() {
  ProgramState& st = state();
  if (Check2->isChecked()) {
    Combo1->setEnabled(false);
    mhz->setEnabled(false);
    Text1->setEnabled(false);
    st.PreSatelliteMode = Combo1->currentText();
    st.PreSatelliteMhz = mhz->currentText();
    st.PreSatelliteKhz = Text1->text();
    Frame2->setVisible(true);
    Command15->setVisible(true);
    const UplinkSplit up = SplitUplink(Subida->text());
    // An uplink the MHz selector does not offer (the loader's caption, no satellite
    // chosen yet) leaves the frequency as it was.
    if (!up.mhz.isEmpty() && !chooseOffered(mhz, up.mhz)) return;
    Text1->setText(up.khz);
    Corresponsal->setFocus();
    return;
  }
  chooseOffered(Combo1, st.PreSatelliteMode);
  chooseOffered(mhz, st.PreSatelliteMhz);
  Text1->setText(st.PreSatelliteKhz);
  Combo1->setEnabled(true);
  mhz->setEnabled(true);
  Text1->setEnabled(true);
  Frame2->setVisible(false);
  Command15->setVisible(false);
  Image2->setVisible(false);
  Timer9->stop();
  Corresponsal->setFocus();
}

void Form1::Combo3_Click() {
  if (Combo3->currentIndex() < 0) return;
  const QString name = Combo3->currentText();
  // Read again from the file: the editor may have changed it. A file that has gone
  // since start-up matches nothing.
  const std::optional<SatelliteEntry> entry = FindSatellite(name);
  if (entry) {
    const SatellitePanelCaptions c = ChosenCaptions(*entry);
    Subida->setText(c.subida);
    Bajada->setText(c.bajada);
    Modo->setText(c.modo);
    Subtono->setText(c.subtono);
    const Status saved = SaveSatelliteMemory(entry->name);
    if (!saved && state().StartupInProgress) noteStartupWriteFailure(saved.error);
  }
  // Start-up's choice of the remembered satellite changes only the panel.
  if (!state().MainFormReady) return;
  const UplinkSplit up = SplitUplink(Subida->text());
  if (!chooseOffered(mhz, up.mhz)) return;
  Text1->setText(up.khz);
  if (!entry || !chooseOffered(Combo1, entry->mode)) return;
  Corresponsal->setFocus();
}

// "Editar": the selector is filled afresh, then the editor opens; it refills the
// selector itself after each change it makes.
void Form1::Command1_Click() {
  fillSatelliteSelector();
  form11().exec();
}

void Form1::Command15_Click() { launcher().openUrl(SatellitePassPage()); }

}  // namespace vz
