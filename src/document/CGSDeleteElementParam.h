#pragma once
// The drawn output of the add-on as a set of selection rules: elements of
// a type that carry the add-on's output tag, collected on the floor plan
// and deleted together.

#include "gs_containers.h"
#include "host_api_types.h"

#include <vector>

class CKelProgressCore;
class CMyUserDataCore;
class CSelectList;

// One rule: the element type and the user-data type of its tag.
class CGSDeleteElementParam {
public:
  CGSDeleteElementParam(API_ElemTypeID type, int userType, int reserved = 0)
      : m_Type(type), m_UserType(userType), m_Reserved(reserved)
  {
  }

  API_ElemTypeID m_Type;
  int m_UserType;
  int m_Reserved;
};

class CGSDeleteElementParamArray : public std::vector<CGSDeleteElementParam> {
public:
  // Collects the elements of every rule on the floor plan, switching to it
  // from the 3D window and back (APIERR_CANCEL from any other window, or
  // when the current window cannot be read). The first error is returned.
  [[nodiscard]] GSErrCode SetList(CMyUserDataCore* tag, CKelProgressCore* progress, CSelectList* layers, short* story);
  GS::Array<API_Guid> GetGuids() const;
  // Deletes what SetList collected, on the floor plan as above.
  [[nodiscard]] GSErrCode Delete();

  GS::Array<API_Elem_Head> m_Heads;

private:
  template <class Body> GSErrCode OnFloorPlan(Body body);
};
