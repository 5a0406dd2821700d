#pragma once
// A layout of the project, for tests that bring one to the front: the
// palette's commands must then reach the floor plan all the same.

#include "host_environment.h"
#include "host_errors.h"

#include <gtest/gtest.h>

// A new layout on a new master; its database, or none when the host
// refused it (the test has then failed).
inline API_DatabaseUnId NewLayout()
{
  API_DatabaseInfo layout;
  layout.typeID = APIWind_LayoutID;
  layout.masterLayoutUnId = pln::host::AddMasterLayout(GS::UniString(u"A3"));
  layout.name = GS::UniString(u"求積図");
  layout.title = layout.name;
  EXPECT_EQ(ACAPI_Database('NDAT', &layout), NoError);
  return layout.databaseUnId;
}
