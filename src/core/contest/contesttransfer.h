#pragma once
#include <QString>
#include <functional>

#include "platform/status.h"

namespace vz {

// The fixed frequency in MHz, three decimals, that a contest band is written with
// in the main log and in ADIF ("52.000" for 6 m); empty for a band outside the
// contest window's eight.
QString ContestBandFrequency(const QString& band);

// What a transfer of a contest into the main log did.
struct ContestTransferOutcome {
  bool asked = false;  // the operator was asked (the contest had QSOs listed)
  bool ran = false;    // the operator said Yes and the rows were read
  int copied = 0;
  int duplicates = 0;
  Status status;       // a failure leaves the main log as it was
};

// Copies the QSOs of a contest into the current main log (state().CurrentLogName),
// skipping those the main log already holds (same stations, band and mode, less
// than ten minutes apart; a QSO copied earlier in the run counts too). Asks first;
// a contest whose list count caption (countCaption, "12 QSOs ") reads 0 is only
// told so. mainLogName is the log's name shown in the messages. Every copy is made
// in one transaction: a failure copies nothing and is shown to the operator.
// Once rows were read, mainLogChanged is called (before the closing message) so the
// main window can reload its list; the contest log is never changed.
ContestTransferOutcome TransferContestToMainLog(const QString& contestName, const QString& countCaption,
                                                const QString& mainLogName,
                                                const std::function<void()>& mainLogChanged = {});

}  // namespace vz
