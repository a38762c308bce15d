// Turns the operator's guide (HTML) into the PDF installed beside the program.
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    fprintf(stderr, "uso: makedoc entrada.html salida.pdf\n");
    return 2;
  }
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    fprintf(stderr, "no se puede leer %s\n", argv[1]);
    return 1;
  }
  QTextDocument doc;
  doc.setHtml(QString::fromUtf8(in.readAll()));
  QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
  pdf.setTitle(QStringLiteral("Vantorel Zezeror 2"));
  doc.print(&pdf);
  return 0;
}
