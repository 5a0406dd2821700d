#include "ftm_filetypes.h"

namespace FTM {

FileType::FileType(const char* description, const char* extension, unsigned int macType, unsigned int creator,
                   int iconResID)
    : description_(description != nullptr ? description : ""),
      extension_(extension != nullptr ? extension : ""),
      macType_(macType),
      creator_(creator),
      iconResID_(iconResID)
{
}

bool FileType::IsSameType(const FileType& other) const
{
  return description_ == other.description_ && extension_ == other.extension_ && macType_ == other.macType_ &&
         creator_ == other.creator_;
}

FileTypeManager::FileTypeManager(const char* name) : name_(name != nullptr ? name : "") {}

TypeID FileTypeManager::AddType(const FileType& type, GroupID group)
{
  entries_.push_back({type, group});
  return static_cast<TypeID>(entries_.size() - 1);
}

TypeID FileTypeManager::SearchForType(const FileType& type, GroupID group) const
{
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].group == group && entries_[i].type.IsSameType(type))
      return static_cast<TypeID>(i);
  return UnknownType;
}

const FileType* FileTypeManager::GetType(TypeID id) const
{
  if (id < 0 || static_cast<std::size_t>(id) >= entries_.size())
    return nullptr;
  return &entries_[static_cast<std::size_t>(id)].type;
}

}  // namespace FTM
