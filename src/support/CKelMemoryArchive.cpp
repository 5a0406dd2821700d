#include "CKelMemoryArchive.h"

#include <cstring>
#include <limits>
#include <utility>

CKelMemoryArchive::CKelMemoryArchive(int version) : CKelArchiveCore(false), m_version(version) {}

CKelMemoryArchive::CKelMemoryArchive(std::vector<std::uint8_t> bytes, int version)
    : CKelArchiveCore(true), m_bytes(std::move(bytes)), m_version(version)
{
}

int CKelMemoryArchive::GetVersion() { return m_version; }

int CKelMemoryArchive::GetError() { return m_errors; }

void CKelMemoryArchive::SetError() { ++m_errors; }

void CKelMemoryArchive::Write(const void* data, unsigned int size)
{
  if (m_bLoading) {
    SetError();
    return;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), bytes, bytes + size);
}

void CKelMemoryArchive::Read(void* data, unsigned int size)
{
  if (!m_bLoading || size > RemainingBytes()) {
    SetError();
    m_position = m_bytes.size();
    return;
  }
  if (size > 0)
    std::memcpy(data, m_bytes.data() + m_position, size);
  m_position += size;
}

std::uint64_t CKelMemoryArchive::RemainingBytes()
{
  if (!m_bLoading)
    return std::numeric_limits<std::uint64_t>::max();
  return m_bytes.size() - m_position;
}
