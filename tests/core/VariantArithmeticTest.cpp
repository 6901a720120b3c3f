#include "core/Exceptions.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>

namespace {

using Binary = std::function<Variant(const Variant&, const Variant&)>;

struct Case {
  const char* what;
  Binary op;
  Variant a, b;
  Variant expected;
};

TEST(VariantArithmetic, TypesOfResults) {
  const long long max = std::numeric_limits<std::int64_t>::max();
  const Case cases[] = {
      {"whole numbers stay whole", VarAdd, 2, 3, 5LL},
      {"a float makes a float", VarMul, 2, 1.5, 3.0},
      {"overflow turns to float", VarAdd, max, 1, static_cast<double>(max) + 1.0},
      {"texts join", VarAdd, "ab", "cd", "abcd"},
      {"empty beside a text is an empty text", VarAdd, Variant(), "x", "x"},
      {"empty beside a number is 0", VarSub, 5, Variant(), 5LL},
      {"a text beside a number is read as one", VarAdd, "1.5", 2, 3.5},
      {"texts subtract as numbers", VarSub, "10", "4", 6.0},
      {"booleans count as -1", VarAdd, true, 1, 0LL},
      {"division is real", VarDiv, 7, 2, 3.5},
      {"powers are real", VarPower, 2, 10, 1024.0},
      {"null wins", VarAdd, Variant::Null(), "x", Variant::Null()},
      {"null wins in logic too", VarAnd, true, Variant::Null(), Variant::Null()},
      {"logic on booleans", VarOr, false, true, true},
      {"a truth text is a boolean", VarAnd, "True", true, true},
      {"bitwise on whole numbers", VarAnd, 12, 10, 8LL},
      {"floats are rounded for bits", VarOr, 4.0, 1.0, 5LL},
  };
  for (const auto& c : cases) {
    Variant got = c.op(c.a, c.b);
    EXPECT_EQ(got.VarType(), c.expected.VarType()) << c.what;
    EXPECT_TRUE(got == c.expected) << c.what << ": " << got.ToText();
  }
}

TEST(VariantArithmetic, UnaryOperators) {
  EXPECT_EQ(VarNeg(5).AsInteger(), -5);
  EXPECT_EQ(VarNeg(Variant(std::numeric_limits<std::int64_t>::min())).VarType(), Variant::Type::Float);
  EXPECT_DOUBLE_EQ(VarNeg("2.5").AsFloat(), -2.5);
  EXPECT_TRUE(VarNeg(Variant::Null()).IsNull());
  EXPECT_EQ(VarNot(true), Variant(false));
  EXPECT_EQ(VarNot(0).AsInteger(), -1);
  EXPECT_EQ(VarNot("false"), Variant(true));
}

TEST(VariantArithmetic, FaultsRaiseInsteadOfGivingNonNumbers) {
  struct Fault {
    Binary op;
    Variant a, b;
    const char* message;
  } faults[] = {
      {VarDiv, 1, 0, "Floating point division by zero"},    {VarDiv, 0, 0.0, "Invalid floating point operation"},
      {VarPower, 0, -1, "Floating point division by zero"}, {VarPower, -8, 0.5, "Invalid floating point operation"},
      {VarMul, 1e308, 10, "Floating point overflow"},
  };
  for (const auto& f : faults) {
    try {
      f.op(f.a, f.b);
      ADD_FAILURE() << "no error for " << f.message;
    } catch (const EMathError& e) {
      EXPECT_EQ(e.Message(), f.message);
    }
  }
  EXPECT_THROW(VarSub("abc", 1), EConvertError);
  // Both sides are converted even when the first decides the result.
  EXPECT_THROW(VarAnd(false, "maybe"), EConvertError);
  EXPECT_THROW(VarAdd(Variant(std::vector<Variant>{1}), 1), EVariantError);
}

}  // namespace
