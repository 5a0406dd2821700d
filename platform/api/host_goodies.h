#pragma once
// The model's share of the request codes of ACAPI_Goodies and
// ACAPI_Interface (both defined with the library parts and the user
// interface, which pass on the codes below), the element tool, element
// quantities and the menu items of the add-on.
//
//   ModelGoodies
//     'GHLG' const API_Guid* element, API_Guid* out: the hot-link node the
//            element came with (null when none)
//     'CABO' const API_Guid* element, API_Box3D* out: the element's bounds
//            (a morph's from its body as its matrix places it)
//     'GCWB' const API_CurtainWallType*, double* out: its base level above
//            its story
//   ModelInterface
//     'SMIT' const API_MenuItemRef*, const GS::UniString*: sets the text
//     'GMIF' const API_MenuItemRef*, Int32* out: the item's flags
//     'SMIF' const API_MenuItemRef*, const Int32*: sets the flags
//            (API_MenuItemChecked marks the item)
// Unknown codes answer APIERR_BADPARS.

#include "host_api_types.h"

enum : Int32 { API_MenuItemChecked = 2 };

// Registers the menu of the string list menuStrResID (registering it again
// changes nothing); its commands reach the handler installed for it.
[[nodiscard]] GSErrCode ACAPI_Register_Menu(short menuStrResID, short promptStrResID, Int32 menuPosCode,
                                            Int32 menuFlags);
// APIERR_BADID for a menu that was not registered.
[[nodiscard]] GSErrCode ACAPI_Install_MenuHandler(short menuStrResID, APIMenuCommandProc* handler);

// The host's name of an element kind ("Object", "Zone", ...);
// APIERR_BADELEMENTTYPE for a kind it does not have.
[[nodiscard]] GSErrCode ACAPI_Goodies_GetElemTypeName(API_ElemTypeID type, GS::UniString& name);

// Display order of elements: to the front ('OFR0') or to the back ('OBA0').
[[nodiscard]] GSErrCode ACAPI_Element_Tool(const GS::Array<API_Guid>& elements, Int32 toolCode, void* par = nullptr);

// Zones: area and perimeter with arcs; curtain walls: slanted length and
// slant angle. Other kinds answer APIERR_BADELEMENTTYPE.
[[nodiscard]] GSErrCode ACAPI_Element_GetQuantities(const API_Guid& guid, API_ElementQuantity* quantity);

namespace pln::host {

[[nodiscard]] GSErrCode ModelGoodies(Int32 code, void* par1, void* par2);
[[nodiscard]] GSErrCode ModelInterface(Int32 code, void* par1, void* par2);

// For the parameter transaction opened on a placed element: the element's
// kind, library part and a deep copy of its parameter list (the caller
// frees it with FreeAddParHandle; null when it has none). Not logged, never
// failed on purpose. APIERR_BADID / APIERR_DELETED for no such element.
[[nodiscard]] GSErrCode ElementParamsForTransaction(const API_Guid& guid, API_ElemTypeID* typeID, Int32* libInd,
                                                    API_AddParType*** params);

// Test hooks.
// The user chooses the menu item: its menu's handler runs (APIERR_BADID
// when the menu has none).
[[nodiscard]] GSErrCode ChooseMenuItem(short menuResID, short itemIndex);
[[nodiscard]] GSErrCode SetHotlinkNode(const API_Guid& element, const API_Guid& node);
[[nodiscard]] GSErrCode SetElementInfoString(const API_Guid& element, const GS::UniString& text);
GS::UniString MenuItemText(short menuResID, short itemIndex);
Int32 MenuItemFlags(short menuResID, short itemIndex);

}  // namespace pln::host
