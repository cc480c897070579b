#include "import/logbook_import.h"

namespace quellmar {

bool ImportLogbook(Session&) { return false; }
void CloseLogbook(Session&) {}

}  // namespace quellmar
