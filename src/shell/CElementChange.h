#pragma once
// Element-change collectors: they keep the document in step with what the
// user does on the plan with the host's own tools (paste, copy, move,
// delete, undo, redo). The main palette hands each element notification of
// a batch to the collector of its kind; each collector remembers the
// element headers that matter, and at the end of the batch applies them to
// the document.
//
// The list repairs a batch needs (sort indices, item numbers, the rewrite
// of a story that lost figures) are only noted by the collectors and run
// once after every collector has applied its records, so the result does
// not depend on the order in which the host reported the elements.

#include "host_api_types.h"

#include <memory>
#include <set>
#include <vector>

class CAutoAreaParam;
class CArea1ObjectArray;
class CAutoAreaParamArray;
class CFloorParam;
class CPlenimetraParam;

// The repairs a batch owes the stories it touched.
struct CElementChangeRepairs {
  std::set<short> renumber;  // SetSortIndex and CheckItemNo
  std::set<short> rewrite;   // ... and ChangeParam of each figure whose number moved
  std::set<short> reorder;   // automatic areas back in the order a load gives
  GSErrCode failed = NoError;  // the first failure of the batch's collectors

  void Keep(GSErrCode err)
  {
    if (failed == NoError)
      failed = err;
  }
  // Runs them on the document; the first failure, the collectors' first.
  [[nodiscard]] GSErrCode Apply(CPlenimetraParam* param);

private:
  // The story's sort indices and numbers closed; nothing written unless
  // every figure it changes is this user's or can be taken.
  [[nodiscard]] static GSErrCode RepairStory(CPlenimetraParam* param, CArea1ObjectArray& figures, bool rewrite);
};

class CElementChangeCore {
public:
  explicit CElementChangeCore(CElementChangeRepairs& repairs) : m_Repairs(repairs) {}
  virtual ~CElementChangeCore() = default;
  virtual void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) = 0;
  // Applies what was remembered; whether the document changed.
  virtual bool End(CPlenimetraParam* param, const API_NotifyElementType* notification) = 0;

protected:
  // Appends the head unless its element is listed already.
  static void AddHead(std::vector<API_Elem_Head>& heads, const API_Elem_Head& head);

  std::vector<API_Elem_Head> m_Area1Heads;
  std::vector<API_Elem_Head> m_AutoAreaHeads;
  CElementChangeRepairs& m_Repairs;
};

// New elements: pasted figures are adopted under a fresh code and number.
class CElementChangeNew : public CElementChangeCore {
public:
  using CElementChangeCore::CElementChangeCore;
  void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
  bool End(CPlenimetraParam* param, const API_NotifyElementType* notification) override;

private:
  bool Adopt(CPlenimetraParam* param, const API_Elem_Head& head);
};

// Copies made with the host's copy commands become ordinary elements.
class CElementChangeCopy : public CElementChangeCore {
public:
  using CElementChangeCore::CElementChangeCore;
  void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
  bool End(CPlenimetraParam*, const API_NotifyElementType*) override { return false; }
};

// Moved or reshaped figures and sources.
class CElementChangeEdit : public CElementChangeCore {
public:
  using CElementChangeCore::CElementChangeCore;
  void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
  bool End(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
};

// Deleted figures and sources (also by redo).
class CElementChangeDeleted : public CElementChangeCore {
public:
  using CElementChangeCore::CElementChangeCore;
  void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
  bool End(CPlenimetraParam* param, const API_NotifyElementType* notification) override;

private:
  void DropSource(CPlenimetraParam* param, CAutoAreaParamArray& records, const CAutoAreaParam& record);
};

// Elements changed by undo or redo of a change.
class CElementChangeModified : public CElementChangeCore {
public:
  using CElementChangeCore::CElementChangeCore;
  void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
  bool End(CPlenimetraParam* param, const API_NotifyElementType* notification) override;

private:
  void FollowSource(CPlenimetraParam* param, const API_Elem_Head& head);
};

// Elements that come back, as by an undone deletion.
class CElementChangeUndoDeleted : public CElementChangeCore {
public:
  using CElementChangeCore::CElementChangeCore;
  void Begin(CPlenimetraParam* param, const API_NotifyElementType* notification) override;
  bool End(CPlenimetraParam* param, const API_NotifyElementType* notification) override;

private:
  bool BringBack(CPlenimetraParam* param, const API_Elem_Head& head);
  bool BringBackSource(CPlenimetraParam* param, const API_Elem_Head& head);
};

// The collectors of the batch in progress, at most one of each class, in
// the order of the first notification of each kind.
class CElementChangeCoreArray : public std::vector<std::unique_ptr<CElementChangeCore>> {
public:
  // The collector for a notification id; null for ids no collector takes.
  CElementChangeCore* ForNotification(API_NotifyElementID id);
  // Every collector's End, then the repairs; whether the document changed.
  // The collectors are gone afterwards.
  bool EndBatch(CPlenimetraParam* param, const API_NotifyElementType* notification, GSErrCode* repairError);
  // Also forgets the repairs owed.
  void clear();

private:
  template <class T>
  CElementChangeCore* Get();
  CElementChangeRepairs m_Repairs;
};

// The floor record of the story; one made as loading makes an added
// story's when the story has none yet (for edits only).
CFloorParam* FloorOnDemand(CPlenimetraParam* param, short story);
