#pragma once
// Library parts: the catalogue of loaded parts, their default parameter
// lists, and the parameter transaction of ACAPI_Goodies ('OPAR' open the
// parameters of a part or of a placed element, 'CHGP' change one, 'GPAR'
// take the list, 'GPVL' the value list of one, 'CPAR' close).
//
// Parts are numbered from 1 in the order they were loaded. Names compare as
// exact UTF-16 texts; parameter names as exact ASCII texts.
//
// Values in the transaction: every numeric kind (integers, pens, bools,
// lengths, angles) travels as a double in realValue; texts as UTF-16 in
// uStrValue. An angle is handed over in degrees and kept (and read back
// from any parameter list) in radians. Writing past the end of an array
// parameter grows it.

#include "gs_containers.h"
#include "gs_unistring.h"
#include "host_api_types.h"
#include "host_types.h"

#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Records

// Kinds of library part a search asks for. The add-on's own parts (figures
// and area tables) are of kind 12.
enum API_LibTypeID : Int32 {
  API_ZombieLibID = 0,
  APILib_PartID = 4,       // the generic kind CGSUtil::GetLibInd asks for
  APILib_ZoneStampID = 6,  // stamps of zone categories
  APILib_ObjectID = 12,    // placeable objects, the add-on's parts among them
};

constexpr int API_UniLongNameLen = 256;

struct API_LibPart {
  API_LibTypeID typeID = API_ZombieLibID;
  Int32 index = 0;  // 1-based; 0 names no part
  char16_t docuName[API_UniLongNameLen] = {};  // NUL-terminated
  bool isPlaceable = false;
};

// Whose parameters 'OPAR' opens: a library part's defaults (libInd > 0), or
// a placed element's current list (guid and typeID, libInd 0).
struct API_ParamOwnerType {
  Int32 libInd = 0;
  API_ElemTypeID typeID = API_ZombieElemID;
  API_Guid guid{};
};

// What 'GPAR' hands out: the part's two sizes (the values of its "A" and
// "B" parameters) and a new parameter list the caller frees with
// ACAPI_DisposeAddParHdl.
struct API_GetParamsType {
  double a = 0.0;
  double b = 0.0;
  API_AddParType** params = nullptr;
};

// One change for 'CHGP'. Indexes are 0, 0 for a scalar; an array cell is
// (row, column) from 1, and column 0 addresses the only column of a
// one-column array. uStrValue set means a text value, null a number.
struct API_ChangeParamType {
  char name[API_NameLen] = {};
  Int32 ind1 = 0;
  Int32 ind2 = 0;
  double realValue = 0.0;
  const char16_t* uStrValue = nullptr;
};

struct API_VLNumType {
  double value = 0.0;
};

// The value list of one parameter for 'GPVL': the choices the part offers
// for it (texts or numbers); both empty when it offers none.
struct API_GetParamValuesType {
  char name[API_NameLen] = {};
  GS::Array<GS::UniString> strValues;
  GS::Array<API_VLNumType> realValues;
};

// ---------------------------------------------------------------------------
// Add-on interface

// Finds the part of part->typeID named part->docuName and fills in its
// index; APIERR_BADNAME when none (placeableOnly skips parts that can't be
// placed).
[[nodiscard]] GSErrCode ACAPI_LibPart_Search(API_LibPart* part, bool placeableOnly = false);
// Fills in the part of part->index; APIERR_BADINDEX when none.
[[nodiscard]] GSErrCode ACAPI_LibPart_Get(API_LibPart* part);
// The default sizes and parameter list of a part; the caller frees the
// list with ACAPI_DisposeAddParHdl.
[[nodiscard]] GSErrCode ACAPI_LibPart_GetParams(Int32 libInd, double* a, double* b, Int32* addParNum,
                                                API_AddParType*** addPars);
// Loads the add-on's built-in library (its nine parts).
[[nodiscard]] GSErrCode ACAPI_Register_BuiltInLibrary();
[[nodiscard]] GSErrCode ACAPI_DisposeAddParHdl(API_AddParType*** addPars);

// The host's utility requests. The parameter transaction codes are handled
// here; every other code goes to the model (host_goodies.h).
[[nodiscard]] GSErrCode ACAPI_Goodies(Int32 code, void* par1 = nullptr, void* par2 = nullptr);

// ---------------------------------------------------------------------------
// Test hooks

namespace pln::host {

// One parameter of a part. A scalar's default is real (radians for an
// angle) or text; an array has dim1 rows of dim2 columns (dim2 >= 1) and
// takes its defaults from reals or texts, row-major, missing cells 0 or
// empty.
struct LibParamDefinition {
  std::string name;
  API_AddParID type = APIParT_RealNum;
  double real = 0.0;
  GS::UniString text{};
  Int32 dim1 = 0;
  Int32 dim2 = 0;
  std::vector<double> reals{};
  std::vector<GS::UniString> texts{};
  // The choices 'GPVL' reports.
  std::vector<double> valueListReals{};
  std::vector<GS::UniString> valueListTexts{};
};

struct LibPartDefinition {
  GS::UniString name;
  API_LibTypeID type = APILib_ObjectID;
  bool placeable = true;
  std::vector<LibParamDefinition> params{};
};

// Loads a part and answers its index; a part of the same name and kind that
// is loaded already keeps its index and definition.
Int32 AddLibraryPart(const LibPartDefinition& part);
// The add-on's nine parts: the eight figure parts and the area table.
const std::vector<LibPartDefinition>& AddOnLibraryParts();
void LoadAddOnLibraryParts();
Int32 LibraryPartCount();
// Null when no part has that index.
const LibPartDefinition* LibraryPart(Int32 libInd);
// True while a parameter transaction is open.
bool ParametersOpen();

// Every 'CHGP' since the last reset, in order, answered or not.
struct ParamChange {
  std::string name;
  Int32 ind1 = 0;
  Int32 ind2 = 0;
};
const std::vector<ParamChange>& ParamChanges();
void ClearParamChanges();
// The next 'CHGP' of that name answers code and changes nothing.
void FailParamChangeOnce(const std::string& name, GSErrCode code);

// Readers of a parameter list for tests: the last record of the name (null
// when none), its scalar text, and array cells (row, column from 1).
const API_AddParType* FindAddPar(API_AddParType* const* list, const char* name);
GS::UniString AddParText(const API_AddParType& par);
double AddParArrayReal(const API_AddParType& par, Int32 row, Int32 column);
GS::UniString AddParArrayText(const API_AddParType& par, Int32 row, Int32 column);

}  // namespace pln::host

namespace pln::host::internal {
void ResetLibrary();
}
