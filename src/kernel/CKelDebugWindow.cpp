#include "CKelDebugWindow.h"

CKelDebugWindow KelDebugWindow;

void CKelDebugWindow::DrawArc(CWindowPort* /*port*/, double /*cx*/, double /*cy*/, double /*cz*/, double /*r*/,
                              double /*sx*/, double /*sy*/, double /*ex*/, double /*ey*/)
{
}
