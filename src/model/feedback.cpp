#include "model/feedback.h"

#include <utility>

namespace quellmar {

void AddHistory(Session& session, std::string line) { session.window.addHistory(std::move(line)); }

void AdvanceProgress(Session& session, std::int64_t step) {
  session.logbook.progresstotal += step;
  session.window.setProgressPosition(session.logbook.progresstotal);
}

}  // namespace quellmar
