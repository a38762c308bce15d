#pragma once
#include <QString>

namespace vz {

// State of the search view's uploads, shared by the service and the eQSL runs and by
// the answer handler that counts for both.
struct UploadRunState {
  bool AnswerReceived = false;  // the waiting request was answered, failed or timed out
  bool UploadAborted = false;   // wrong password or unknown user: stop after this row
  QString LastAnswerText;
  quint32 AnswerColor = 0;
  int RukLoadedCount = 0;
  int RukDuplicateCount = 0;
  int EqslLoadedCount = 0;
  int EqslDuplicateCount = 0;
};

UploadRunState& uploadRun();

}  // namespace vz
