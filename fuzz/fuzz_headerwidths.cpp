// Reads list column widths from arbitrary module data. The first byte
// chooses how many columns the list has (0 to 5), the second the stored
// record's version (1000 unless it is 0xFF); the rest is the record.
// Whatever is stored, the loaded widths must be usable: none negative, the
// list no wider than its tab positions can hold, widths untouched when the
// record is not for this list, tab fields laid end to end, and a save then
// load must give the same widths back. No handle may be left behind.

#include "CDGDlgCore.h"
#include "CDGListItemParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr short kRes = 32560;
constexpr short kList = 3;
constexpr std::size_t kHeaderBytes = 2;

using HostFuzz::Check;

class Dialog : public CDGDlgCore {
public:
  Dialog() : CDGDlgCore(kRes) {}
  void DoMsgChange(short, short, long long) override {}
  short DoMsgClose(short, short) override { return 0; }
};

std::unique_ptr<CDGListItemParamArray> MakeColumns(short dialId, int count)
{
  auto columns = std::make_unique<CDGListItemParamArray>(dialId, kList);
  for (int i = 0; i < count; ++i)
    columns->push_back(std::make_unique<CDGListItemParamCore>(dialId, kList, short(10 * (i + 1)), GS::UniString(u"h"),
                                                             0, 0, 0));
  return columns;
}

std::vector<short> Widths(const CDGListItemParamArray& columns)
{
  std::vector<short> widths;
  for (const auto& column : columns)
    widths.push_back(column->m_Width);
  return widths;
}

// Whether the record names this list's column count in a version it reads.
bool RecordFits(const std::uint8_t* record, std::size_t size, Int32 version, int columns)
{
  int count = 0;
  if (version != CDGListItemParamArray::kHeaderVersion || size < sizeof count)
    return false;
  std::memcpy(&count, record, sizeof count);
  return count == columns;
}

void CheckLayout(short dialId, const CDGListItemParamArray& columns)
{
  int extent = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const short tab = short(i + 1);
    const short width = columns[i]->m_Width;
    Check(width >= 0);
    Check(DGListGetTabFieldBeginPosition(dialId, kList, tab) == extent);
    extent += width;
    Check(DGListGetTabFieldEndPosition(dialId, kList, tab) == extent);
  }
  Check(extent <= CDGListItemParamArray::kMaxListExtent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kHeaderBytes)
    return 0;
  HostFixture host;
  const int columnCount = data[0] % 6;
  const Int32 version = data[1] == 0xFF ? 999 : CDGListItemParamArray::kHeaderVersion;
  const std::uint8_t* record = data + kHeaderBytes;
  const std::size_t recordSize = size - kHeaderBytes;
  pln::host::DefineDialog(kRes, {{kList, pln::host::DGItemKind::ListBox}});
  {
    Dialog dialog;
    const short id = dialog.DoModeless();
    Check(id != 0);
    auto columns = MakeColumns(id, columnCount);
    HostFuzz::StoreModuleData(columns->HeaderRecordName(kRes).c_str(), version, record, recordSize);
    const std::vector<short> constructed = Widths(*columns);
    columns->LoadHeaderPosition(kRes);
    if (!RecordFits(record, recordSize, version, columnCount))
      Check(Widths(*columns) == constructed);
    columns->InitializeList(false);
    CheckLayout(id, *columns);

    columns->SaveHeaderPosition(kRes);
    auto again = MakeColumns(id, columnCount);
    again->LoadHeaderPosition(kRes);
    Check(Widths(*again) == Widths(*columns));
    DGModelessClose(id);
  }
  Check(pln::host::DialogMisuses().empty());
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
