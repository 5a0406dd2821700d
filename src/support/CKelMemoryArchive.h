#pragma once
// A library archive over a byte vector in memory: the concrete archive of the
// tests, the fuzz targets and any caller that keeps a record in memory.
//
// Errors: GetError() counts the failed transfers. A read that asks for more
// bytes than remain transfers nothing, leaves its destination as it was and
// consumes the rest, so every later read fails as well. Writing to a reading
// archive or reading from a writing one is a failed transfer too.

#include "CKelArchiveCore.h"

#include <cstdint>
#include <vector>

class CKelMemoryArchive final : public CKelArchiveCore {
public:
  // A writing archive that starts empty.
  explicit CKelMemoryArchive(int version);
  // A reading archive over the given bytes.
  CKelMemoryArchive(std::vector<std::uint8_t> bytes, int version);

  int GetVersion() override;
  [[nodiscard]] int GetError() override;
  void Write(const void* data, unsigned int size) override;
  void Read(void* data, unsigned int size) override;
  std::uint64_t RemainingBytes() override;
  void SetError() override;

  const std::vector<std::uint8_t>& GetBytes() const { return m_bytes; }

private:
  std::vector<std::uint8_t> m_bytes;
  std::size_t m_position = 0;
  int m_version;
  int m_errors = 0;
};
