#pragma once
// The element tag: a small user-data record the add-on attaches to every
// element it places as output, so that it can find and delete them later.
//
// Stored form on the element (the host's user-data record): data version
// (the tag's version, 1), platform sign 0x5757, flags 0, and a handle of 4
// bytes holding the tag's value as a 32-bit little-endian integer.

#include "host_api_types.h"

// The accessor of an element's user data. The element searches take one to
// recognise the elements that carry a tag of a wanted type.
class CMyUserDataCore {
public:
  // The record kind; the output tag is 700.
  enum TYPE : Int32 {};

  CMyUserDataCore() = default;
  virtual ~CMyUserDataCore() = default;
  [[nodiscard]] virtual GSErrCode GetUserData(const API_Elem_Head* head) = 0;
  [[nodiscard]] virtual GSErrCode SetUserData(const API_Elem_Head* head) = 0;

  // The kind read by the last GetUserData, or set for the next write.
  TYPE GetType() const { return m_type; }
  void SetType(TYPE type) { m_type = type; }

protected:
  TYPE m_type{};
};

class CMyUserData : public CMyUserDataCore {
public:
  // The only version written; any other is refused.
  static constexpr unsigned short kVersion = 1;
  static constexpr unsigned short kPlatformSign = 0x5757;

  CMyUserData() = default;
  CMyUserData(Int32 value, unsigned short version) : m_version(version) { m_type = TYPE(value); }

  // APIERR_BADPARS, writing nothing, unless the version is 1.
  [[nodiscard]] GSErrCode SetUserData(const API_Elem_Head* head) override;
  // A deleted element's record is still read (the host answers
  // APIERR_DELETED with it). Any other failure, and a record too short to
  // hold a value, leaves value and version 0.
  [[nodiscard]] GSErrCode GetUserData(const API_Elem_Head* head) override;

  Int32 GetValue() const { return m_type; }
  void SetValue(Int32 value) { m_type = TYPE(value); }
  unsigned short GetVersion() const { return m_version; }
  void SetVersion(unsigned short version) { m_version = version; }

private:
  unsigned short m_version = 0;
};

// Tags an element the add-on has just placed. An element the tag could not
// be written to is deleted again before the tag's error is returned: output
// without its tag is never found and cleared, so the next run would add a
// second copy beside it.
GSErrCode TagPlacedElement(CMyUserDataCore& tag, const API_Elem_Head& head);
