#pragma once
#include <QDate>
#include <QString>
#include <QUrl>

#include "platform/status.h"
#include "store/masterlist.h"

namespace vz {

// Where the program's web site keeps the master call list. The update and the age
// check both ask MasterListUrl(), on the site address VZ_URL_WEB may override.
inline const QString kMasterListPath = QStringLiteral("/assets/zezeror/master.txt");
QUrl MasterListUrl();

// The date of the list in use as its messages show it: without a list (no date line
// read) the zero date, 30/12/1899, rather than nothing.
QString MasterListDateText(const QDate& date);

// The date of a downloaded list's first line: "#" then the date, day first
// ("#15/03/2024"), taken from the 11 characters after the "#". No value when the
// line does not start with "#" or holds no date.
std::optional<QDate> MasterListWebDate(const QString& firstLine);

// A downloaded list as it is kept: its date and the bytes of webomc.txt. An empty
// answer or a first line without a date is an error with the reason.
struct DownloadedMasterList {
  QDate date;
  QByteArray fileBytes;
};
Result<DownloadedMasterList> ReadDownloadedMasterList(const QByteArray& body);

// Downloads the master list (waiting for it, with the request's time-out) and
// writes it to webomc.txt in the program's folder: every line feed followed by a
// carriage return, then CR LF, so each line read back keeps its line feed. Gives
// the list's date. A failed request, an answer other than 200, an empty answer or
// a first line without a date is an error with the reason, and webomc.txt is left
// as it was.
Result<QDate> DownloadMasterList(const QUrl& url = MasterListUrl(), int timeoutMs = 15000);

enum class MasterUpdateResult {
  Failed,    // told why; master.txt and the list in use are as they were
  UpToDate,  // told " está acualizado!"; the list was reloaded from master.txt
  Replaced,  // master.txt now holds the downloaded list, reloaded and told
};

// "Actualización MasterCheck": downloads the list and, when its date is later
// than MasterListDate (or the list in use has no date), makes it master.txt. Either
// way master.txt, when there is one, is loaded again into MasterCalls,
// MasterCallCount and MasterListDate; the caller then shows MasterCheckCaption of
// the new count.
MasterUpdateResult UpdateMasterList(const QUrl& url = MasterListUrl(), int timeoutMs = 15000);

}  // namespace vz
