// A time budget for one long kernel operation, so that no boolean, fillet, offset, sweep,
// loft or export can hold the session for minutes.
//
//   OperationBudget budget(name() + ": the fillet");
//   BRepFilletAPI_MakeFillet fillet(shape);
//   ...
//   fillet.Build(budget.range());
//   budget.throwIfInterrupted();  // "<what> interrupted after 60 s"
//   if (!fillet.IsDone()) ...
//
// The kernel polls the range as it works. Once the budget is spent, or the user quits (a
// quit message is queued on the session's event loop, or requestKernelStop() was called),
// the range answers a user break and the kernel returns early without a result. Call
// throwIfInterrupted() before looking at the kernel's own errors, so that the item fails
// with the interruption as its reason; the callers' guards turn the exception into a
// failed status, and the feature passes the solid before it on, so the Part stays usable.
//
// The budget is TOLVANE_KERNEL_BUDGET_S seconds per operation (a positive number, default
// 60); each OperationBudget starts its own clock when it is made.
#pragma once

#include <Message_ProgressRange.hxx>
#include <Standard_Handle.hxx>

#include <chrono>
#include <stdexcept>
#include <string>

namespace occt_host {

class BudgetIndicator;

// What throwIfInterrupted() throws, so that a caller can tell a spent budget from a
// kernel failure: an operation cut short says nothing about its inputs.
class KernelInterrupted : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class OperationBudget {
 public:
  // `what` names the operation in the failure text, e.g. "Pad.2: the union with the body's solid".
  explicit OperationBudget(std::string what);
  ~OperationBudget();
  OperationBudget(const OperationBudget&) = delete;
  OperationBudget& operator=(const OperationBudget&) = delete;

  // A fresh root range of this operation's indicator, for one kernel call. Several calls
  // may each take one; they share the clock.
  Message_ProgressRange range();
  // True once the kernel was told to stop.
  bool interrupted() const;
  // Throws KernelInterrupted with "<what> interrupted after N s" (or, when the user quit,
  // "<what> interrupted: the session is quitting") once the kernel was told to stop.
  void throwIfInterrupted() const;
  // What an interruption reports, whether or not it happened.
  std::string interruptionText() const;
  double seconds() const;

 private:
  std::string what_;
  Handle(BudgetIndicator) indicator_;
};

// Seconds one operation may take: a test's override, else TOLVANE_KERNEL_BUDGET_S, else 60.
double operationBudgetSeconds();

// Tells every running and later kernel operation of the process to stop, until
// clearKernelStop(); for frames whose quit does not go through the occt_host event loop.
// Safe from any thread and from a signal handler.
void requestKernelStop() noexcept;
void clearKernelStop() noexcept;

namespace testing {

// Replaces the budget while it lives.
class ScopedBudget {
 public:
  explicit ScopedBudget(double seconds);
  ~ScopedBudget();
  ScopedBudget(const ScopedBudget&) = delete;
  ScopedBudget& operator=(const ScopedBudget&) = delete;

 private:
  double previous_;
};

// The next operation that takes a range waits up to `wait` at its first progress step, as
// a kernel step that takes that long would, ending the wait early once its budget is spent.
void delayNextOperation(std::chrono::milliseconds wait);

}  // namespace testing

}  // namespace occt_host
