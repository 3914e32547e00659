#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <type_traits>

namespace kv {

// The start-up's one error policy. Every elementary action runs as a guarded step: a
// failing step is abandoned, error 5 is reported (it switches to single-byte mode), the error
// is dropped without a word, and the caller goes on with the next step.
class ErrorPolicy {
 public:
  // Told when a step fails with error 5, the conversion that the system cannot make.
  using Unsupported = std::function<void()>;
  // Called before each step runs, with its number (from 1, in the order the steps run) and
  // its name; throwing an AppError there fails that step. Lets tests and fuzzers fail a step
  // by its name, or every step in turn by its number, with any code.
  using FaultHook = std::function<void(int number, std::string_view name)>;

  explicit ErrorPolicy(Unsupported unsupported, FaultHook faultHook = {})
      : unsupported_(std::move(unsupported)), faultHook_(std::move(faultHook)) {}

  // An ordinary step. Returns whether it completed.
  bool Step(std::string_view name, const std::function<void()>& action);

  // A yes/no test: a test that fails counts as holding.
  template <class Predicate>
  bool Test(std::string_view name, Predicate&& test) {
    bool holds = true;
    Step(name, [&] { holds = static_cast<bool>(test()); });
    return holds;
  }

  // A choice among branches by a value: a choice that fails selects no branch at all.
  template <class Select>
  auto Choose(std::string_view name, Select&& select)
      -> std::optional<std::invoke_result_t<Select>> {
    std::optional<std::invoke_result_t<Select>> chosen;
    Step(name, [&] { chosen.emplace(select()); });
    return chosen;
  }

  int StepsRun() const noexcept { return stepsRun_; }

 private:
  void Fail(int code);

  Unsupported unsupported_;
  FaultHook faultHook_;
  int stepsRun_ = 0;
};

}  // namespace kv
