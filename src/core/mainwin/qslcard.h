#pragma once
#include <QString>

namespace vz {

// The QSL-card designer is a separate program that lives in one fixed folder:
// the program itself, its card designs (MisQSLs/*.qsl) and the card images it
// writes (Salida/).
inline const QString kQslDesignerFolder = QStringLiteral("/opt/Tarjos");

// The folder in use: kQslDesignerFolder unless a test set another.
QString qslDesignerFolder();
// Sets the folder (tests); the empty text restores kQslDesignerFolder.
void setQslDesignerFolder(const QString& folder);

QString qslDesignerProgram();  // <folder>/tarjos
QString qslDesignsFolder();    // <folder>/MisQSLs
QString qslImagesFolder();     // <folder>/Salida/ (with its closing "/")

// The QSO as the edit dialog shows it, saved or not.
struct QslCardFields {
  QString ownCall, workedCall, date, time, mode, band, reportSent, satellite, remarks;
};

// The designer's parameter string: " Tarjo$de=" own call, "$para=" worked call,
// "$fecha=", "$hora=", "$modo=", "$banda=", "$reporte=", "$sat=" (upper-cased),
// "$nota="; values as they stand, nothing quoted or escaped.
QString QslCardRequest(const QslCardFields& f);

// The card image the designer writes: the worked call with "/" as "_", "_", the
// date without its "/", ".jpg".
QString QslCardImageName(const QString& workedCall, const QString& date);

// True when a design in the folder is for the own call: one of its lines, with
// every "SuCall=" removed, equals the call exactly (letter case and blanks count).
bool HasQslDesignFor(const QString& designsFolder, const QString& ownCall);

// Hands the QSO to the designer: checks that the designer and a design for the own
// call exist (a message otherwise), starts the designer with the parameter string,
// and offers to open the card image.
void HandOffQslCard(const QslCardFields& f);

}  // namespace vz
