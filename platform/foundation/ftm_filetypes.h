#pragma once
// File types as the host's file dialogs filter them.

#include "host_types.h"

#include <string>
#include <vector>

namespace FTM {

using TypeID = Int32;
constexpr TypeID UnknownType = -1;

// A group of file types; the root group holds every type not put elsewhere.
using GroupID = Int32;
constexpr GroupID RootGroup = 0;

class FileType {
public:
  FileType(const char* description, const char* extension, unsigned int macType, unsigned int creator,
           int iconResID);

  const std::string& GetDescription() const { return description_; }
  const std::string& GetExtension() const { return extension_; }
  unsigned int GetMacType() const { return macType_; }
  unsigned int GetCreator() const { return creator_; }
  int GetIconResID() const { return iconResID_; }

  // Two types are the same type when their description, extension and
  // codes agree; the icon does not matter.
  bool IsSameType(const FileType& other) const;

private:
  std::string description_;
  std::string extension_;
  unsigned int macType_;
  unsigned int creator_;
  int iconResID_;
};

class FileTypeManager {
public:
  explicit FileTypeManager(const char* name);

  TypeID AddType(const FileType& type, GroupID group = RootGroup);
  // UnknownType when no such type was added to the group.
  TypeID SearchForType(const FileType& type, GroupID group = RootGroup) const;
  // nullptr for an unknown id.
  const FileType* GetType(TypeID id) const;
  const std::string& GetName() const { return name_; }

private:
  struct Entry {
    FileType type;
    GroupID group;
  };
  std::string name_;
  std::vector<Entry> entries_;
};

}  // namespace FTM
