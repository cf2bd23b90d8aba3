// LU decomposition, pivoting, singular rows, zero pivots and the inverse.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "fit/LuSolver.h"

namespace kalvex::fit {
namespace {

using core::Extended;

Matrix90 FromRows(std::initializer_list<std::initializer_list<double>> rows) {
    Matrix90 m;
    int i = 1;
    for (const auto& row : rows) {
        int j = 1;
        for (double v : row) m(i, j++) = v;
        ++i;
    }
    return m;
}

TEST(LuSolver, IdentityKeepsEveryRowAndInvertsToItself) {
    for (int n : {1, 5, 90}) {
        Matrix90 a;
        for (int i = 1; i <= n; ++i) a(i, i) = 1.0L;
        Matrix90 lu = a;
        PivotRecord piv;
        Extended parity = 0;
        ASSERT_EQ(LUDCMP(lu, n, piv, parity), LuStatus::kOk);
        EXPECT_EQ(parity, 1.0L);
        for (int j = 1; j <= n; ++j) EXPECT_EQ(piv[j], j);
        Matrix90 inv;
        Matrix90 work = a;
        ASSERT_EQ(InvertMatrix(work, n, inv), LuStatus::kOk);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j)
                ASSERT_EQ(inv(i, j), i == j ? 1.0L : 0.0L) << i << "," << j;
        }
    }
}

TEST(LuSolver, PivotsOnSecondRowAndNegatesParity) {
    // Columns (1, 2) and (2, 1): equal row scales 1/2, scaled candidates 1/2 and 2/2.
    Matrix90 a = FromRows({{1, 2}, {2, 1}});
    PivotRecord piv;
    Extended parity = 0;
    ASSERT_EQ(LUDCMP(a, 2, piv, parity), LuStatus::kOk);
    EXPECT_EQ(piv[1], 2);
    EXPECT_EQ(piv[2], 2);
    EXPECT_EQ(parity, -1.0L);
    // Factors of the exchanged rows: U = [[2, 1], [0, 1.5]], L21 = 0.5.
    EXPECT_EQ(a(1, 1), 2.0L);
    EXPECT_EQ(a(1, 2), 1.0L);
    EXPECT_EQ(a(2, 1), 0.5L);
    EXPECT_EQ(a(2, 2), 1.5L);

    Matrix90 work = FromRows({{1, 2}, {2, 1}});
    Matrix90 inv;
    ASSERT_EQ(InvertMatrix(work, 2, inv), LuStatus::kOk);
    EXPECT_NEAR(static_cast<double>(inv(1, 1)), -1.0 / 3, 1e-18);
    EXPECT_NEAR(static_cast<double>(inv(1, 2)), 2.0 / 3, 1e-18);
    EXPECT_NEAR(static_cast<double>(inv(2, 1)), 2.0 / 3, 1e-18);
    EXPECT_NEAR(static_cast<double>(inv(2, 2)), -1.0 / 3, 1e-18);
}

TEST(LuSolver, TiesInTheScaledPivotColumnGoToTheLowerRow) {
    // Column 1 scaled: row 1 -> 1/2, rows 2 and 3 -> 1 each: row 2 wins, not row 3.
    Matrix90 a = FromRows({{1, 2, 0}, {1, 0, 1}, {1, 1, 0}});
    PivotRecord piv;
    Extended parity = 0;
    ASSERT_EQ(LUDCMP(a, 3, piv, parity), LuStatus::kOk);
    EXPECT_EQ(piv[1], 2);
    // A tie that includes row j itself keeps row j: no exchange.
    Matrix90 b = FromRows({{1, 0}, {1, 1}});
    ASSERT_EQ(LUDCMP(b, 2, piv, parity), LuStatus::kOk);
    EXPECT_EQ(piv[1], 1);
    EXPECT_EQ(parity, 1.0L);

    // The solution is right whatever the pivots: A x = (3, 2, 2) for x = (1, 1, 1).
    Matrix90 lu = FromRows({{1, 2, 0}, {1, 0, 1}, {1, 1, 0}});
    ASSERT_EQ(LUDCMP(lu, 3, piv, parity), LuStatus::kOk);
    Vector90 rhs;
    rhs[1] = 3;
    rhs[2] = 2;
    rhs[3] = 2;
    LuBackSubstitute(lu, 3, piv, rhs);
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(static_cast<double>(rhs[i]), 1.0, 1e-18) << i;
}

TEST(LuSolver, AnExchangedRowKeepsItsOwnScaleForTheLaterColumns) {
    // Row 2 is 1E8 times larger than the others. Column 1 scaled by the rows: 0, 1E-8, 1: row
    // 3 (not the largest number, row 2). Row 3 then holds row 1, whose scale 1/5 makes column 2
    // a tie (5E8 / 5E8 and 5 / 5) that row 2 keeps; row 3's own scale 1/2 would pick row 3.
    const Matrix90 a = FromRows({{0, 5, -2}, {5, 5e8, 4}, {-2, 0, 0}});
    Matrix90 lu = a;
    PivotRecord piv;
    Extended parity = 0;
    ASSERT_EQ(LUDCMP(lu, 3, piv, parity), LuStatus::kOk);
    EXPECT_EQ((std::vector<int>{piv[1], piv[2], piv[3]}), (std::vector<int>{3, 2, 3}));
    EXPECT_EQ(parity, -1.0L);
    Vector90 b;  // A (1, 2, 3)
    for (int i = 1; i <= 3; ++i) b[i] = a(i, 1) + 2 * a(i, 2) + 3 * a(i, 3);
    LuBackSubstitute(lu, 3, piv, b);
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(static_cast<double>(b[i]), i, 1e-15 * i) << i;
}

TEST(LuSolver, AZeroRowIsReportedAndLeavesTheMatrixAlone) {
    Matrix90 a = FromRows({{1, 2, 3}, {0, 0, 0}, {4, 5, 7}});
    const Matrix90 before = a;
    PivotRecord piv;
    Extended parity = 0;
    EXPECT_EQ(LUDCMP(a, 3, piv, parity), LuStatus::kSingular);
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(a(i, j), before(i, j));
    }
    Matrix90 inv;
    inv(1, 1) = 42;
    Matrix90 work = before;
    EXPECT_EQ(InvertMatrix(work, 3, inv), LuStatus::kSingular);
    EXPECT_EQ(inv(1, 1), 42.0L);
}

TEST(LuSolver, IdenticalRowsGiveATinyPivotAndAHugeInverse) {
    Matrix90 a = FromRows({{1, 2, 3}, {1, 2, 3}, {2, 1, 5}});
    Matrix90 lu = a;
    PivotRecord piv;
    Extended parity = 0;
    ASSERT_EQ(LUDCMP(lu, 3, piv, parity), LuStatus::kOk);
    EXPECT_EQ(lu(3, 3), 1e-200L);
    Matrix90 inv;
    ASSERT_EQ(InvertMatrix(a, 3, inv), LuStatus::kOk);
    Extended biggest = 0;
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) biggest = std::fmax(biggest, std::fabs(inv(i, j)));
    }
    EXPECT_GT(biggest, 1e199L);
    EXPECT_LT(biggest, 1e202L);
}

TEST(LuSolver, InverseOfAFullRandomMatrixOfOrder90) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Matrix90 a;
    for (int i = 1; i <= 90; ++i) {
        for (int j = 1; j <= 90; ++j) a(i, j) = u(rng) + (i == j ? 10.0 : 0.0);
    }
    Matrix90 work = a;
    Matrix90 inv;
    ASSERT_EQ(InvertMatrix(work, 90, inv), LuStatus::kOk);
    Extended worst = 0;
    for (int i = 1; i <= 90; ++i) {
        for (int j = 1; j <= 90; ++j) {
            Extended s = 0;
            for (int k = 1; k <= 90; ++k) s += a(i, k) * inv(k, j);
            worst = std::fmax(worst, std::fabs(s - (i == j ? 1.0L : 0.0L)));
        }
    }
    EXPECT_LT(worst, 1e-17L);
}

TEST(LuSolver, LeadingZerosOfTheRightHandSideAreSkippedCorrectly) {
    // b = (0, 0, 1) with a lower triangle: the forward pass must start at the first nonzero.
    Matrix90 lu = FromRows({{4, 1, 2}, {1, 5, 1}, {2, 1, 6}});
    PivotRecord piv;
    Extended parity = 0;
    ASSERT_EQ(LUDCMP(lu, 3, piv, parity), LuStatus::kOk);
    Vector90 b;
    b[3] = 1;
    LuBackSubstitute(lu, 3, piv, b);
    const Matrix90 a = FromRows({{4, 1, 2}, {1, 5, 1}, {2, 1, 6}});
    for (int i = 1; i <= 3; ++i) {
        Extended s = 0;
        for (int j = 1; j <= 3; ++j) s += a(i, j) * b[j];
        EXPECT_NEAR(static_cast<double>(s), i == 3 ? 1.0 : 0.0, 1e-18) << i;
    }
}

}  // namespace
}  // namespace kalvex::fit
