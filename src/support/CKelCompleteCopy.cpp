#include "CKelCompleteCopy.h"

#include "CKelFileIO.h"

CKelCompleteCopy::~CKelCompleteCopy() { Abandon(); }

std::string CKelCompleteCopy::CopyPathOf(const std::string& target) { return target + ".tmp"; }

bool CKelCompleteCopy::Open(const std::string& target)
{
  Abandon();
  m_Target = target;
  m_bFailed = false;
  m_pFile = CKelFileIO::Fopen(CopyPathOf(target).c_str(), "wb");
  m_bFailed = m_pFile == nullptr;
  return m_pFile != nullptr;
}

bool CKelCompleteCopy::Write(const void* data, std::size_t size)
{
  if (m_pFile == nullptr) {
    m_bFailed = true;
    return false;
  }
  if (size == 0)
    return true;
  if (std::fwrite(data, 1, size, m_pFile) != size)
    m_bFailed = true;
  return !m_bFailed;
}

bool CKelCompleteCopy::Finish()
{
  if (m_pFile == nullptr)
    return false;
  const bool closed = std::fclose(m_pFile) == 0;
  m_pFile = nullptr;
  const std::string copy = CopyPathOf(m_Target);
  const bool replaced = !m_bFailed && closed && CKelFileIO::MoveFile(copy.c_str(), m_Target.c_str());
  if (!replaced) {
    m_bFailed = true;
    // The failure is answered already; a copy left behind is recreated by
    // the next Open and never takes the target's place.
    (void)CKelFileIO::DeleteFileA(copy.c_str());
  }
  return replaced;
}

void CKelCompleteCopy::Abandon()
{
  if (m_pFile == nullptr)
    return;
  std::fclose(m_pFile);
  m_pFile = nullptr;
  // Abandoning leaves the target as it was whether or not the copy goes.
  (void)CKelFileIO::DeleteFileA(CopyPathOf(m_Target).c_str());
}
