#pragma once

// The best-times table and its row awaiting a name: the globals of records/.
#include "records/best_times.h"

// An empty table and no row awaiting a name, as at program start.
void resetRecordsGlobals();
