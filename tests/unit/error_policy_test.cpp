#include "core/error_policy.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/app_error.h"
#include "core/step_context.h"
#include "fakes/fake_ports.h"

namespace kv {
namespace {

struct CodeCase {
  int code;
  bool switchesMode;
};

class ErrorPolicyCodes : public testing::TestWithParam<CodeCase> {};

TEST_P(ErrorPolicyCodes, OnlyCode5SwitchesToSingleByteAndTheSequenceGoesOn) {
  bool singleByte = false;
  ErrorPolicy policy([&] { singleByte = true; });
  // The failed step is not tried again; the next one runs.
  int tries = 0;
  EXPECT_FALSE(policy.Step("step", [&] {
    ++tries;
    throw AppError(GetParam().code);
  }));
  EXPECT_EQ(tries, 1);
  EXPECT_EQ(singleByte, GetParam().switchesMode);
  bool next = false;
  EXPECT_TRUE(policy.Step("step", [&] { next = true; }));
  EXPECT_TRUE(next);
}

INSTANTIATE_TEST_SUITE_P(Codes, ErrorPolicyCodes,
                         testing::Values(CodeCase{5, true}, CodeCase{6, false}, CodeCase{13, false},
                                         CodeCase{48, false}, CodeCase{380, false},
                                         CodeCase{453, false}, CodeCase{0, false},
                                         CodeCase{-5, false}));

TEST(ErrorPolicy, NeverSwitchesBackToDoubleByte) {
  test::Harness h;
  StepContext s(h.platform, h.form, h.library);
  s.SingleByteMode = true;
  for (const int code : {13, 5}) s.policy.Step("step", [&] { throw AppError(code); });
  s.policy.Step("step", [] {});
  EXPECT_TRUE(s.SingleByteMode);
}

TEST(ErrorPolicy, FailedTestCountsAsHolding) {
  bool singleByte = false;
  ErrorPolicy policy([&] { singleByte = true; });
  EXPECT_TRUE(policy.Test("test", []() -> bool { throw AppError(52); }));
  EXPECT_FALSE(policy.Test("test", [] { return false; }));
  EXPECT_TRUE(policy.Test("test", [] { return true; }));
}

TEST(ErrorPolicy, FailedChoiceSelectsNoBranch) {
  bool singleByte = false;
  ErrorPolicy policy([&] { singleByte = true; });
  EXPECT_FALSE(policy.Choose("choice", []() -> bool { throw AppError(5); }).has_value());
  EXPECT_TRUE(singleByte);
  EXPECT_EQ(policy.Choose("choice", [] { return 7; }), 7);
}

TEST(ErrorPolicy, OtherExceptionsAreFailuresThatNeverSwitchTheMode) {
  bool singleByte = false;
  ErrorPolicy policy([&] { singleByte = true; });
  EXPECT_FALSE(policy.Step("step", [] { throw std::out_of_range("x"); }));
  EXPECT_FALSE(policy.Step("step", [] { throw std::bad_alloc(); }));
  EXPECT_FALSE(singleByte);
}

TEST(ErrorPolicy, FaultHookSeesEachStepByNumberAndNameAndFailsTheOneItAimsAt) {
  bool singleByte = false;
  std::vector<std::pair<int, std::string>> seen;
  ErrorPolicy policy([&] { singleByte = true; },
                     [&](int number, std::string_view name) {
                       seen.emplace_back(number, name);
                       if (name == "second") throw AppError(5);
                     });
  int ran = 0;
  for (const char* name : {"first", "second", "third"}) policy.Step(name, [&] { ++ran; });
  EXPECT_EQ(ran, 2);
  const std::vector<std::pair<int, std::string>> expected = {
      {1, "first"}, {2, "second"}, {3, "third"}};
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(singleByte);
}

}  // namespace
}  // namespace kv
