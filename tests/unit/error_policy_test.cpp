#include "core/error_policy.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/app_error.h"

namespace kv {
namespace {

struct CodeCase {
  int code;
  bool switchesMode;
};

class ErrorPolicyCodes : public testing::TestWithParam<CodeCase> {};

TEST_P(ErrorPolicyCodes, OnlyCode5SwitchesToSingleByteAndTheSequenceGoesOn) {
  bool singleByte = false;
  ErrorPolicy policy(singleByte);
  bool after = false;
  EXPECT_FALSE(policy.Step([&] {
    throw AppError(GetParam().code);
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_EQ(singleByte, GetParam().switchesMode);
  EXPECT_TRUE(policy.Step([&] { after = true; }));
  EXPECT_TRUE(after);
}

INSTANTIATE_TEST_SUITE_P(Codes, ErrorPolicyCodes,
                         testing::Values(CodeCase{5, true}, CodeCase{6, false}, CodeCase{13, false},
                                         CodeCase{48, false}, CodeCase{380, false},
                                         CodeCase{453, false}, CodeCase{0, false},
                                         CodeCase{-5, false}));

TEST(ErrorPolicy, NeverSwitchesBackToDoubleByte) {
  bool singleByte = true;
  ErrorPolicy policy(singleByte);
  policy.Step([] { throw AppError(13); });
  policy.Step([] {});
  EXPECT_TRUE(singleByte);
}

TEST(ErrorPolicy, FailedTestCountsAsHolding) {
  bool singleByte = false;
  ErrorPolicy policy(singleByte);
  EXPECT_TRUE(policy.Test([]() -> bool { throw AppError(52); }));
  EXPECT_FALSE(policy.Test([] { return false; }));
  EXPECT_TRUE(policy.Test([] { return true; }));
}

TEST(ErrorPolicy, FailedChoiceSelectsNoBranch) {
  bool singleByte = false;
  ErrorPolicy policy(singleByte);
  EXPECT_FALSE(policy.Choose([]() -> bool { throw AppError(5); }).has_value());
  EXPECT_TRUE(singleByte);
  EXPECT_EQ(policy.Choose([] { return 7; }), 7);
}

TEST(ErrorPolicy, OtherExceptionsAreFailuresThatNeverSwitchTheMode) {
  bool singleByte = false;
  ErrorPolicy policy(singleByte);
  EXPECT_FALSE(policy.Step([] { throw std::out_of_range("x"); }));
  EXPECT_FALSE(policy.Step([] { throw std::bad_alloc(); }));
  EXPECT_FALSE(singleByte);
}

TEST(ErrorPolicy, FaultHookFailsExactlyTheNumberedStep) {
  bool singleByte = false;
  ErrorPolicy policy(singleByte, [](int step) {
    if (step == 2) throw AppError(5);
  });
  int ran = 0;
  for (int i = 0; i < 3; ++i) policy.Step([&] { ++ran; });
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(policy.StepsRun(), 3);
  EXPECT_TRUE(singleByte);
}

}  // namespace
}  // namespace kv
