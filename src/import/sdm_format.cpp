#include "import/sdm_format.h"
