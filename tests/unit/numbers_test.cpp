#include <gtest/gtest.h>

#include <cmath>

#include "base/numbers.h"

namespace velnor {
namespace {

struct ValueCase {
  const char16_t* text;
  double value;
};

TEST(LeadingNumberValue, ReadsAsFarAsTheTextFormsANumber) {
  const ValueCase cases[] = {
      {u"12", 12},        {u"12a", 12},      {u"1.5", 1.5},     {u"1e2", 100},
      {u"&HF", 15},       {u"-1", -1},       {u"abc", 0},       {u"", 0},
      {u"+7", 7},         {u".5", 0.5},      {u"-.5", -0.5},    {u".", 0},
      {u"-", 0},          {u"1.2.3", 1.2},   {u"1e", 1},        {u"1e+", 1},
      {u"2E3", 2000},     {u"2d2", 200},     {u"2D-1", 0.2},    {u"1e-2x", 0.01},
      {u"&hff", 255},     {u"&O17", 15},     {u"&o8", 0},       {u"&HG", 0},
      {u"&", 0},          {u"&X1", 0},       {u"e5", 0},        {u"--1", 0},
      {u"007", 7},        {u"1,000", 1},     {u"１２", 0},      {u"3e4", 30000},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(LeadingNumberValue(c.text), c.value) << ToUtf8(c.text);
  }
}

TEST(LeadingNumberValue, LeavesOutBlanksTabsAndLineFeedsWhereverTheyStand) {
  EXPECT_EQ(LeadingNumberValue(u" 1 2 "), 12);
  EXPECT_EQ(LeadingNumberValue(u"\t-\n3"), -3);
  EXPECT_EQ(LeadingNumberValue(u"1 e 2"), 100);
  EXPECT_EQ(LeadingNumberValue(u"& H 1 0"), 16);
  // A carriage return and the ideographic space are not blanks here: reading stops there.
  EXPECT_EQ(LeadingNumberValue(u"1\r2"), 1);
  EXPECT_EQ(LeadingNumberValue(u"1\u30002"), 1);
}

TEST(LeadingNumberValue, HugeExponentsSaturateInsteadOfFailing) {
  EXPECT_TRUE(std::isinf(LeadingNumberValue(u"9e999")));
  EXPECT_LT(LeadingNumberValue(u"-9e999"), 0);
  EXPECT_EQ(LeadingNumberValue(u"9e-999"), 0);
  EXPECT_EQ(LeadingNumberValue(String(5000, u'9')), HUGE_VAL);
  // Which way to saturate follows the whole magnitude, not the exponent's sign.
  EXPECT_EQ(LeadingNumberValue(u"-1" + String(400, u'0') + u"D-0"), -HUGE_VAL);
  EXPECT_EQ(LeadingNumberValue(u"1" + String(400, u'0') + u"e-5"), HUGE_VAL);
  EXPECT_EQ(LeadingNumberValue(u"0." + String(400, u'0') + u"1e+5"), 0);
  EXPECT_EQ(LeadingNumberValue(u"1e-" + String(30, u'9')), 0);
}

TEST(RoundHalfEven, SendsExactHalvesToTheEvenNeighbour) {
  const double cases[][2] = {{2.5, 2},   {3.5, 4},   {-2.5, -2}, {-3.5, -4}, {0.5, 0},
                             {1.5, 2},   {2.4, 2},   {2.6, 3},   {-0.4, 0},  {-1.6, -2},
                             {32766.5, 32766}, {7, 7}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c[0]), c[1]) << c[0];
}

TEST(RoundToInt16, RefusesWhatLiesOutsideSixteenBits) {
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_EQ(RoundToInt16(-32768.5), -32768);
  EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
  EXPECT_EQ(RoundToInt16(-32768.6), std::nullopt);
  EXPECT_EQ(RoundToInt16(9e9), std::nullopt);
  EXPECT_EQ(RoundToInt16(HUGE_VAL), std::nullopt);
  EXPECT_EQ(RoundToInt16(std::nan("")), std::nullopt);
}

TEST(DecimalText, HasNoLeadingZerosOrBlanks) {
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(15), u"15");
  EXPECT_EQ(DecimalText(-1), u"-1");
  EXPECT_EQ(DecimalText(-32768), u"-32768");
}

}  // namespace
}  // namespace velnor
