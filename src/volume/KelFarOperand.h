// Subtraction of a far operand from a single block, worked out on the
// block's plan points. An operand's convex pieces clip a block by the whole
// lines of their edges, so a far operand whose edge line happens to run
// through the block divides it (or moves it through the line's frame)
// although nothing of it ends inside; this repeats, step for step, what the
// clip and the combination after it make of such a block, without pieces,
// walls or merges.
//
// One FarOperands serves one block through the operands in turn: it keeps
// the block's last merges and its working lists between them.

#pragma once

#include <memory>

#include "CKelBlockCube.h"
#include "CPrfPlanParam.h"
#include "KelConvexOperand.h"

namespace kel_set {

class FarOperands {
public:
  FarOperands();
  ~FarOperands();
  FarOperands(FarOperands&&) noexcept;
  FarOperands& operator=(FarOperands&&) noexcept;

  // True when the block was left as the general subtraction would leave it
  // (and *planesKept as it would set it); false, the block untouched, where
  // the general path must run.
  [[nodiscard]] bool Subtract(CKelBlockCube& block, const ConvexOperand& operand, const CPrfPlanParam* prf,
                              bool* planesKept);
  // The block was changed by the general path since the last Subtract.
  void Forget();

private:
  struct State;
  std::unique_ptr<State> m_State;
};

}  // namespace kel_set
