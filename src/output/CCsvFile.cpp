#include "CCsvFile.h"

#include "dg_filedialog.h"
#include "ftm_filetypes.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Digits from i on; answers how many.
USize CountDigits(const GS::UniString& text, USize i)
{
  USize n = 0;
  while (i + n < text.GetLength() && IsDigit(text[i + n]))
    ++n;
  return n;
}

bool NeedsQuotes(const GS::UniString& field)
{
  for (char16_t c : field.Std())
    if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
      return true;
  return false;
}

}  // namespace

std::vector<GS::UniString> SeparateEquation(GS::UniString text, bool quoteSigns)
{
  std::vector<GS::UniString> lines;
  for (UIndex mark = text.FindFirst(u'#'); mark != GS::MaxUIndex; mark = text.FindFirst(u'#')) {
    lines.push_back(text.GetPrefix(mark));
    text = text.GetSubstring(mark + 1, text.GetLength());
  }
  if (!text.IsEmpty())
    lines.push_back(text);
  if (quoteSigns)
    for (GS::UniString& line : lines)
      if (!line.IsEmpty() && (line[0] == u'+' || line[0] == u'-'))
        line.Insert(0, u"'");
  return lines;
}

bool IsCsvNumber(const GS::UniString& text)
{
  const USize n = text.GetLength();
  USize i = (n > 0 && text[0] == u'-') ? 1 : 0;
  USize group = CountDigits(text, i);
  if (group == 0)
    return false;
  i += group;
  while (i < n && text[i] == u',') {
    if (group > 3 || CountDigits(text, i + 1) != 3)
      return false;
    i += 4;
    group = 3;
  }
  if (i < n && text[i] == u'.')
    i += 1 + CountDigits(text, i + 1);
  while (i < n && text[i] == u' ')
    ++i;
  return i == n;
}

GS::UniString GuardCsvField(const GS::UniString& field)
{
  if (field.IsEmpty() || IsCsvNumber(field))
    return field;
  const char16_t first = field[0];
  if (first == u'=' || first == u'+' || first == u'-' || first == u'@')
    return GS::UniString(u"'") + field;
  return field;
}

GS::UniString QuoteCsvField(const GS::UniString& field)
{
  if (!NeedsQuotes(field))
    return field;
  GS::UniString quoted(u"\"");
  for (char16_t c : field.Std()) {
    quoted += c;
    if (c == u'"')
      quoted += c;
  }
  return quoted + u"\"";
}

bool CCsvFile::Create(const GS::UniString& path) { return m_Copy.Open(path.ToStdString(CC_UTF8)); }

void CCsvFile::WriteRow(const std::vector<GS::UniString>& fields)
{
  GS::UniString line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0)
      line += u',';
    line += QuoteCsvField(GuardCsvField(fields[i]));
  }
  m_Line = line.ToStdString(CC_UTF8);
  m_Line += '\n';
  // A short write is remembered by the copy, and Finish reports it.
  (void)m_Copy.Write(m_Line.data(), m_Line.size());
}

bool CCsvFile::Finish() { return m_Copy.Finish(); }

bool GetSaveCsvFilename(GS::UniString& path)
{
  FTM::FileTypeManager manager("");
  const FTM::FileType csvType(nullptr, "csv", 0, 0, 0);
  FTM::TypeID type = manager.SearchForType(csvType);
  if (type == FTM::UnknownType)
    type = manager.AddType(csvType);
  DG::FileDialog dialog(DG::FileDialog::Save);
  const UIndex filter = dialog.AddFilter(type, 1);
  dialog.SetFilterText(filter, GS::UniString(u"CSVﾌｧｲﾙ (*.csv)"));
  if (!dialog.Invoke() || dialog.GetSelectionCount() == 0) {
    path.Clear();
    return false;
  }
  if (dialog.GetSelectedFile(0).ToPath(&path) != NoError) {
    path.Clear();
    return false;
  }
  return true;
}
