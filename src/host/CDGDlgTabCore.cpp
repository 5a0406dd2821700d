#include "CDGDlgTabCore.h"

#include "CDGDlgCore.h"

void CDGDlgTabCore::EnableItem(short item, bool enable) { CDGDlgCore::EnableItem(m_DialogID, item, enable); }
