#include "records/records_globals.h"

void resetRecordsGlobals()
{
    bestTimes = BestTimes();
    newEntryRow = -1;
}
