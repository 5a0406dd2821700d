// The calculation-pattern text file: one pattern, one line per node.
//
// Vocabulary: a *line* is the bytes up to and including its line end; a
// *line end* is CR, LF, CR LF or LF CR (files come from editors of every
// platform); *fields* are the TAB-separated texts of a line, untrimmed.
//
// The reader takes nothing on trust: lines are bounded in length, numbers
// must fit 32 bits, codes go through the same flat builder as the settings
// file's records, and the result must be a single pattern. Anything else
// gives the default pattern and 0, so a caller that takes only a 1 never
// replaces good data with a half-read file. The writer refuses what the
// reader would refuse, so every file it writes reads back.

#include "CAreaTree.h"

#include "CAreaObject.h"
#include "CAreaTreeFlat.h"
#include "CArchive.h"
#include "CKelFileIO.h"
#include "CPlenimetraParam.h"
#include "DocRecord.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using AreaTreeFlat::FlatBuilder;
using AreaTreeFlat::FlatRecord;

namespace {

// Names travel as 8-bit texts in this code; the path in UTF-8.
constexpr GSCharCode kNameCode = CC_Japanese;

// Field counts of the two line forms: short (rounding left to the
// default) and full.
constexpr std::size_t kTopFieldsShort = 2;
constexpr std::size_t kTopFieldsFull = 6;
constexpr std::size_t kNodeFieldsShort = 4;
constexpr std::size_t kNodeFieldsFull = 8;

// The rounding item of a line that carries none.
CRoundTypeItem FileDefaultItem() { return CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2); }

// ---- writing ----------------------------------------------------------------

// A name as one field: a TAB, CR or LF inside it would split the line.
GS::UniString FieldName(const CAreaObject& object)
{
  GS::UniString name = object.m_Name.m_DefaultName;
  for (const char16_t* breaker : {u"\t", u"\r", u"\n"})
    name.ReplaceAll(GS::UniString(breaker), GS::UniString(u" "));
  return name;
}

class PatternWriter {
public:
  explicit PatternWriter(CPlenimetraParam* param) : m_Param(param) {}

  void Top(const CAreaTree& top);
  // The lines of the nodes below node, depth first, each before its
  // children; depth is the children's (the top folder's is 1).
  void Nodes(const CAreaTree& node, int depth);

  // False when a line, a name or the depth would be refused by the reader.
  bool Fits() const { return m_Fits; }
  // The first character of a name that the file's code cannot hold; empty
  // when it holds them all.
  const GS::UniString& Unheld() const { return m_Unheld; }
  const std::string& Text() const { return m_Text; }

private:
  void Line(const CAreaObject& object, const std::vector<int>& numbers);

  CPlenimetraParam* m_Param;
  std::string m_Text;
  bool m_Fits = true;
  GS::UniString m_Unheld;
};

void PatternWriter::Line(const CAreaObject& object, const std::vector<int>& numbers)
{
  const GS::UniString name = FieldName(object);
  std::string line;
  if (!DocText::Encode(name, kNameCode, line)) {
    m_Fits = false;
    if (m_Unheld.IsEmpty())
      m_Unheld = DocText::FirstUnheld(name, kNameCode);
  }
  for (int number : numbers)
    line += '\t' + std::to_string(number);
  if (line.size() > std::size_t(CAreaTree::kMaxPatternLineBytes))
    m_Fits = false;
  m_Text += line;
  m_Text += '\n';
}

void PatternWriter::Top(const CAreaTree& top)
{
  const CAreaObject* pAreaObject = m_Param->GetAreaObject(top.m_AreaCode);
  Line(*pAreaObject, {top.m_AreaCode, int(top.m_RoundTypeTotal.m_Type), top.m_RoundTypeTotal.m_Digit,
                      int(top.m_RoundTypeFloor.m_Type), top.m_RoundTypeFloor.m_Digit});
}

void PatternWriter::Nodes(const CAreaTree& node, int depth)
{
  if (node.m_Child.empty())
    return;
  if (depth > CAreaTree::kMaxTreeDepth) {
    m_Fits = false;
    return;
  }
  const CAreaObject* pParentObject = m_Param->GetAreaObject(node.m_AreaCode);
  for (const CAreaTree& child : node.m_Child) {
    const CAreaObject* pChildObject = m_Param->GetAreaObject(child.m_AreaCode);
    const int kind = child.m_AreaCode < 0 ? CAreaTree::KIND_ELEMENT_LIST : CAreaTree::KIND_FOLDER;
    Line(*pChildObject,
         {pChildObject->m_Code, pParentObject->m_Code, kind, int(child.m_RoundTypeTotal.m_Type),
          child.m_RoundTypeTotal.m_Digit, int(child.m_RoundTypeFloor.m_Type), child.m_RoundTypeFloor.m_Digit});
    Nodes(child, depth + 1);
  }
}

// ---- reading ----------------------------------------------------------------

// Hands out the lines of a file one by one, each with its line end.
class PatternLineReader {
public:
  enum class Result { Line, End, Bad };

  explicit PatternLineReader(std::FILE* file) : m_File(file) {}

  // Bad for a line longer than the bound or a failed read. The last line
  // comes back without a line end when the file has none.
  Result Next(std::string& line);

private:
  void TakeLineEnd(int first, std::string& line);

  std::FILE* m_File;
};

void PatternLineReader::TakeLineEnd(int first, std::string& line)
{
  line.push_back(char(first));
  // CR LF and LF CR are one line end each.
  const int pair = first == '\r' ? '\n' : '\r';
  const int next = std::getc(m_File);
  if (next == pair)
    line.push_back(char(next));
  else if (next != EOF)
    std::ungetc(next, m_File);
}

PatternLineReader::Result PatternLineReader::Next(std::string& line)
{
  line.clear();
  for (int c = std::getc(m_File); c != EOF; c = std::getc(m_File)) {
    if (c == '\r' || c == '\n') {
      TakeLineEnd(c, line);
      return Result::Line;
    }
    if (line.size() >= std::size_t(CAreaTree::kMaxPatternLineBytes))
      return Result::Bad;
    line.push_back(char(c));
  }
  if (std::ferror(m_File))
    return Result::Bad;
  return line.empty() ? Result::End : Result::Line;
}

// The fields of one line. A line without a line end has no fields, so a
// file cut off inside its last line is not taken as whole.
std::vector<std::string> GetString(const std::string& line)
{
  std::vector<std::string> fields;
  if (line.empty() || (line.back() != '\r' && line.back() != '\n'))
    return fields;
  std::size_t p = 0;
  while (p < line.size()) {
    const std::size_t tab = line.find('\t', p);
    if (tab != std::string::npos) {
      fields.push_back(line.substr(p, tab - p));
      p = tab + 1;
      continue;
    }
    // The first CR or LF ends the last field; its partner, if any, follows.
    const std::size_t end = line.find_first_of("\r\n", p);
    fields.push_back(line.substr(p, end - p));
    p = line.size();
  }
  return fields;
}

// A decimal integer as C's atoi reads it (leading blanks and a sign, the
// digits, anything after them ignored, no digits 0), but refused when it
// does not fit 32 bits rather than left to overflow.
std::optional<int> ParseNumber(const std::string& field)
{
  std::size_t p = 0;
  while (p < field.size() && std::isspace(static_cast<unsigned char>(field[p])))
    ++p;
  bool negative = false;
  if (p < field.size() && (field[p] == '+' || field[p] == '-'))
    negative = field[p++] == '-';
  long long magnitude = 0;
  for (; p < field.size() && std::isdigit(static_cast<unsigned char>(field[p])); ++p) {
    magnitude = magnitude * 10 + (field[p] - '0');
    if (magnitude > -static_cast<long long>(INT_MIN))
      return std::nullopt;
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value > INT_MAX)
    return std::nullopt;
  return static_cast<int>(value);
}

// Reads the numbers of the fields from first on into the outputs.
bool ParseNumbers(const std::vector<std::string>& fields, std::size_t first, const std::vector<int*>& out)
{
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::optional<int> number = ParseNumber(fields[first + i]);
    if (!number)
      return false;
    *out[i] = *number;
  }
  return true;
}

bool ParseRounding(const std::vector<std::string>& fields, std::size_t first, FlatRecord& r)
{
  int totalType = 0;
  int floorType = 0;
  if (!ParseNumbers(fields, first, {&totalType, &r.total.m_Digit, &floorType, &r.floor.m_Digit}))
    return false;
  r.total.m_Type = CRoundTypeTable::ROUNDTYPE(totalType);
  r.floor.m_Type = CRoundTypeTable::ROUNDTYPE(floorType);
  return true;
}

// A line of either form: the name, the numbers of the short form in order,
// then, in the full form, the two rounding items; the short form leaves them
// at the file's default.
bool ParseLine(const std::vector<std::string>& fields, std::size_t shortCount, std::size_t fullCount,
               FlatRecord& r, const std::vector<int*>& numbers)
{
  if (fields.size() != shortCount && fields.size() != fullCount)
    return false;
  if (!DocText::Decode(fields[0], kNameCode, r.name))
    return false;
  r.total = r.floor = FileDefaultItem();
  if (!ParseNumbers(fields, 1, numbers))
    return false;
  return fields.size() == shortCount || ParseRounding(fields, shortCount, r);
}

// Line 1: the top folder under the root.
std::optional<FlatRecord> ParseTopLine(const std::vector<std::string>& fields)
{
  FlatRecord r;
  r.kind = CAreaTree::KIND_FOLDER;
  if (!ParseLine(fields, kTopFieldsShort, kTopFieldsFull, r, {&r.code}))
    return std::nullopt;
  return r;
}

// A node line. Its parent must be a folder's code: 0 would make a second
// top node, and a negative code would hang the node under an element.
std::optional<FlatRecord> ParseNodeLine(const std::vector<std::string>& fields)
{
  FlatRecord r;
  if (!ParseLine(fields, kNodeFieldsShort, kNodeFieldsFull, r, {&r.code, &r.parentCode, &r.kind}) ||
      r.parentCode <= 0)
    return std::nullopt;
  return r;
}

// Reads every line into the builder; false at the first bad or refused
// line, or when the tree read is neither empty nor one pattern.
bool ReadPattern(std::FILE* file, CAreaTree& root, CPlenimetraParam* param)
{
  PatternLineReader lines(file);
  FlatBuilder builder(root, param);
  std::string line;
  for (bool first = true;; first = false) {
    const PatternLineReader::Result result = lines.Next(line);
    if (result == PatternLineReader::Result::End)
      break;
    if (result == PatternLineReader::Result::Bad)
      return false;
    const std::vector<std::string> fields = GetString(line);
    const std::optional<FlatRecord> record = first ? ParseTopLine(fields) : ParseNodeLine(fields);
    if (!record || !builder.Add(*record))
      return false;
  }
  builder.Finish();
  return root.m_Child.empty() || (root.m_Child.size() == 1 && root.m_Child.front().HoldsPatternShape());
}

}  // namespace

// ---- CAreaTree --------------------------------------------------------------

bool CAreaTree::Save3(CPlenimetraParam* param, const GS::UniString& path) const
{
  if (!HoldsPatternShape())
    return false;
  PatternWriter writer(param);
  writer.Top(*this);
  writer.Nodes(*this, 2);
  if (!writer.Fits() || writer.Text().size() > std::size_t(INT_MAX))
    return false;
  // The copy replaces the file only once it is complete.
  CArchiveFile file;
  if (file.OpenWrite(path))
    file.Write(writer.Text().data(), int(writer.Text().size()), 3);
  return file.Close() == 0;
}

GS::UniString CAreaTree::FirstUnheldInFile(CPlenimetraParam* param) const
{
  if (!HoldsPatternShape())
    return GS::UniString();
  PatternWriter writer(param);
  writer.Top(*this);
  writer.Nodes(*this, 2);
  return writer.Unheld();
}

int CAreaTree::Load3(CPlenimetraParam* param, const GS::UniString& path)
{
  AreaTreeFlat::StartFlatRead(*this, param);
  CKelFileIO file;
  if (!file.Open(path.ToStdString(CC_UTF8).c_str()))
    return -1;
  const bool read = ReadPattern(file.GetStream(), *this, param);
  file.Close();
  if (!read) {
    AreaTreeFlat::MakeDefaultTree(*this, param);
    return 0;
  }
  param->m_LastAreaCode = param->GetMaxAreaCode();
  return 1;
}

GS::UniString CAreaTree::GetFileName(const GS::UniString& name)
{
  return GS::UniString(u"メンセラ 計算パターン") + name + GS::UniString(u".txt");
}
