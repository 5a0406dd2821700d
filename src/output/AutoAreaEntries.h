#pragma once
// The figures of one automatic-area record as the entries of an element
// record, which is how the output tables and the CSV list them.

#include "CArea2Object.h"

class CAutoAreaParam;
class CPlenimetraParam;

// A record of the story in automatic mode with one entry per linked figure
// (rounding type 4, the figure's link operator), ascending by sort index;
// figures of equal sort index keep the order the record lists them in.
CArea2ObjectFloor AutoAreaEntries(const CPlenimetraParam& doc, const CAutoAreaParam& record, short story);
