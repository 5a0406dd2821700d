#include "CCrMark.h"

#include "CArchive.h"
#include "CPlenimetraUserDataCore.h"

namespace {

constexpr char16_t kBreak = u'#';

// User data of version 0 predates the marks.
bool UserDataHasMarks(const CPlenimetraUserDataCore& ar) { return ar.GetVersion() > 0; }

}  // namespace

GS::UniString CCrMark::GetMarkStr() { return GS::UniString(u"#"); }

GS::UniString CCrMark::GetStr(bool force) const { return force || m_bCr ? GetMarkStr() : GS::UniString(); }

void CCrMark::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen)
    ar << m_bCr;
  else if (ar.GetVersion() >= CCrMarkArray::kFirstArchiveVersion)
    ar >> m_bCr;
}

void CCrMark::Serialize(CPlenimetraUserDataCore& ar)
{
  if (!ar.IsOpen())
    ar << m_bCr;
  else if (UserDataHasMarks(ar))
    ar >> m_bCr;
}

void CCrMarkArray::SetMinSize(std::size_t gaps)
{
  if (size() < gaps)
    resize(gaps);
}

void CCrMarkArray::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << static_cast<int>(size());
    for (CCrMark& mark : *this)
      mark.Serialize(ar);
    return;
  }
  if (ar.GetVersion() < kFirstArchiveVersion)
    return;
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, 1))
    throw CArchive::kPastEnd;
  resize(static_cast<std::size_t>(count));
  for (CCrMark& mark : *this)
    mark.Serialize(ar);
}

void CCrMarkArray::Serialize(CPlenimetraUserDataCore& ar)
{
  if (!ar.IsOpen()) {
    ar << static_cast<int>(size());
    for (CCrMark& mark : *this)
      mark.Serialize(ar);
    return;
  }
  if (!UserDataHasMarks(ar))
    return;
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, 1))
    throw CPlenimetraUserDataCore::kPastEnd;
  resize(static_cast<std::size_t>(count));
  for (CCrMark& mark : *this)
    mark.Serialize(ar);
}

std::vector<GS::UniString> CCrMarkArray::GetEquationList(GS::UniString text)
{
  std::vector<GS::UniString> lines;
  UIndex from = 0;
  while (from < text.GetLength()) {
    const UIndex pos = text.FindFirst(kBreak, from);
    if (pos == GS::MaxUIndex) {
      lines.push_back(text.GetSubstring(from, text.GetLength() - from));
      break;
    }
    lines.push_back(text.GetSubstring(from, pos - from));
    from = pos + 1;
  }
  return lines;
}
