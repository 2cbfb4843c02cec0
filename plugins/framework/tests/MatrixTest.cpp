// Matrices and the object list. Reference values are exact: a product worked by hand,
// and the inverse of the 4 x 4 Hilbert matrix, whose entries are the integers
// (-1)^(i+j) (i+j+1) C(n+i, n-j-1) C(n+j, n-i-1) C(i+j, i)^2 (0-based i, j).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "QmMatrix.h"
#include "qxtest/Numeric.h"

namespace {

class Matrices : public ::testing::Test {
protected:
    void SetUp() override
    {
        QmDeleteObjectList();
        QmClearErrors();
    }
    void TearDown() override { QmDeleteObjectList(); }

    static QmMX* Make(int r, int c, std::vector<double> values)
    {
        QmMX* m = new QmMX(r, c);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j)
                *m->Element(i, j) = values[i * c + j];
        return m;
    }
    static std::vector<double> Values(QmMX* m)
    {
        std::vector<double> out;
        for (int i = 0; i < m->rows; ++i)
            for (int j = 0; j < m->columns; ++j)
                out.push_back(*m->Element(i, j));
        return out;
    }
};

TEST_F(Matrices, StorageAndElementAccess)
{
    QmCvec v(3, 0.0);
    EXPECT_EQ(v.transposed, 1);
    *v.Element(2, 0) = 7;
    EXPECT_EQ(v.pointerView[0][2], 7.0);
    QmMX wide(2, 3, 1.5);
    EXPECT_EQ(wide.transposed, 0);
    *wide.Element(1, 2) = 4;
    EXPECT_EQ(wide.pointerView[1][2], 4.0);
    EXPECT_EQ(wide.IsError(), 0);

    // Outside the matrix: error 401 and the last element, for any sign.
    QmMX square(2, 2);
    struct Case {
        int i, j;
    };
    for (Case c : {Case{5, 5}, Case{2, 0}, Case{0, 2}, Case{-1, 0}, Case{0, -7}}) {
        SCOPED_TRACE(std::to_string(c.i) + "," + std::to_string(c.j));
        QmClearErrors();
        EXPECT_EQ(square.Element(c.i, c.j), square.Element(1, 1));
        EXPECT_EQ(QmErrorCodeAt(1), QM_ERR_MX_INDEX);
        EXPECT_STREQ(QmErrorTextAt(1), "QmMX");
    }

    // No storage: errors 400 and 508, and no access to memory that is not there.
    QmClearErrors();
    QmMX none(0, 3);
    EXPECT_EQ(QmErrorCodeAt(1), QM_ERR_MX_NO_STORAGE);
    EXPECT_FALSE(none.IsValid());
    *none.Element(1, 1) = 3;
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_NO_STORAGE);
    EXPECT_EQ(none.IsError(), 1);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_INVALID);
}

TEST_F(Matrices, ProductsAndElementwiseOperations)
{
    QmMX* a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    QmMX* b = Make(3, 2, {7, 8, 9, 10, 11, 12});
    EXPECT_EQ(Values(*a * *b), (std::vector<double>{58, 64, 139, 154}));
    EXPECT_EQ(QmErrorRecorded(), 0);

    QmMX* bad = *a * *a;
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_PRODUCT);
    EXPECT_EQ(bad->rows, 2);
    EXPECT_EQ(bad->columns, 3);
    EXPECT_EQ(Values(bad), std::vector<double>(6, 0.0));

    QmMX* t = a->Transpose();
    EXPECT_EQ(Values(t), (std::vector<double>{1, 4, 2, 5, 3, 6}));

    QmMX* c = Make(2, 3, {1, 1, 1, 2, 2, 2});
    EXPECT_EQ(Values(*a - *c), (std::vector<double>{0, 1, 2, 2, 3, 4}));
    EXPECT_EQ(Values(*a / *c), (std::vector<double>{1, 2, 3, 2, 2.5, 3}));
    QmClearErrors();
    EXPECT_EQ(*a - *b, a);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_SIZE);

    // A zero divisor fails the whole division, in place too, and changes nothing.
    QmMX* z = Make(2, 3, {1, 1, 0, 1, 1, 1});
    QmClearErrors();
    EXPECT_EQ(*a / *z, a);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_ZERO_DIVISOR);
    QmMX copy(*a);
    copy /= *z;
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_ZERO_DIVISOR);
    EXPECT_EQ(Values(&copy), Values(a));
    copy /= *c;
    EXPECT_EQ(Values(&copy), (std::vector<double>{1, 2, 3, 2, 2.5, 3}));
    copy *= *c;
    EXPECT_EQ(Values(&copy), Values(a));
    copy = *c;
    EXPECT_EQ(Values(&copy), Values(c));

    QmCvec* row = a->Row(1);
    EXPECT_EQ(Values(row), (std::vector<double>{4, 5, 6}));
    QmCvec col(2);
    ASSERT_EQ(a->SetColumn(0, col), 0);
    EXPECT_EQ(Values(a), (std::vector<double>{0, 2, 3, 0, 5, 6}));
    EXPECT_EQ(a->SetColumn(0, *row), 1);
}

TEST_F(Matrices, InverseAgainstExactValues)
{
    const int n = 4;
    QmMX* h = new QmMX(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            *h->Element(i, j) = 1.0 / (i + j + 1);
    const double exact[n][n] = {{16, -120, 240, -140},
                                {-120, 1200, -2700, 1680},
                                {240, -2700, 6480, -4200},
                                {-140, 1680, -4200, 2800}};
    QmMX* inv = h->Inverse();
    ASSERT_NE(inv, h);
    EXPECT_EQ(QmErrorRecorded(), 0);
    // The condition number of this matrix is about 1.6e4: twelve digits survive.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            QX_EXPECT_CLOSE("inverse(" + std::to_string(i) + "," + std::to_string(j) + ")",
                            exact[i][j], *inv->Element(i, j), 1e-9);

    QmMX* small = Make(2, 2, {4, 7, 2, 6});
    // 1/10 [[6, -7], [-2, 4]], to rounding.
    std::vector<double> got = Values(small->Inverse());
    const double expected[] = {0.6, -0.7, -0.2, 0.4};
    for (int k = 0; k < 4; ++k)
        QX_EXPECT_CLOSE("2x2 inverse element " + std::to_string(k), expected[k], got[k], 1e-14);
}

TEST_F(Matrices, FailedInverseIsReported)
{
    struct Case {
        const char* what;
        QmMX* m;
    };
    Case cases[] = {
        {"singular", Make(2, 2, {1, 2, 2, 4})},
        {"not square", Make(3, 2, {1, 0, 0, 1, 0, 0})},
        {"no storage", new QmMX(0, 0)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        QmClearErrors();
        QmRecordError(1, "earlier");
        QmClearErrors();
        EXPECT_EQ(c.m->Inverse(), c.m);
        EXPECT_EQ(QmErrorCodeAt(1), QM_ERR_MX_INVERSE);
        EXPECT_STREQ(QmErrorTextAt(1), "QmMX");
        EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_INVERSE);
    }
}

TEST_F(Matrices, ColumnVectors)
{
    QmCvec v(3, 0.0);
    for (int i = 0; i < 3; ++i)
        *v.Element(i, 0) = i - 1.0;
    QmCvec* cube = v.Pow(3);
    EXPECT_EQ(Values(cube), (std::vector<double>{-1, 0, 1}));
    QmCvec* inverseSquare = v.Pow(-2);
    EXPECT_EQ(*inverseSquare->Element(2, 0), 1.0);

    QmMX* m = Make(3, 2, {1, 2, 3, 4, 5, 6});
    QmCvec first(*m);
    EXPECT_EQ(Values(&first), (std::vector<double>{1, 3, 5}));
    v = *m;
    EXPECT_EQ(Values(&v), (std::vector<double>{1, 3, 5}));

    ASSERT_EQ(v.Truncate(2), 0);
    EXPECT_EQ(Values(&v), (std::vector<double>{1, 3}));
    EXPECT_EQ(v.Truncate(3), 1);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_MX_INDEX);
    ASSERT_EQ(v.Truncate(1), 0);
    EXPECT_EQ(Values(&v), (std::vector<double>{1}));

    QmRvec r(4, 2.0);
    EXPECT_EQ(r.rows, 1);
    EXPECT_EQ(r.columns, 4);
}

TEST_F(Matrices, SweepDeletesEverythingRegistered)
{
    int alive = QmBaseObj::s_count;
    QmMX* a = Make(2, 2, {1, 2, 3, 4});
    QmMX* p = *a * *a;
    a->Transpose();
    a->Inverse();
    QmBitField* bits = new QmBitField;
    bits->word = 0xFFFFFFFF;
    bits->count = 40;
    EXPECT_EQ(bits->CountSet(), 32);
    bits->count = 3;
    EXPECT_EQ(bits->CountSet(), 3);
    bits->word = 0b101;
    EXPECT_EQ(bits->CountSet(), 2);
    bits->count = -1;
    EXPECT_EQ(bits->CountSet(), 0);
    EXPECT_EQ(QmObjectListCount(), 5);
    EXPECT_EQ(QmBaseObj::s_count, alive + 5);

    // An object deleted on its own leaves the list.
    delete p;
    EXPECT_EQ(QmObjectListCount(), 4);
    QmDeleteObjectList();
    EXPECT_EQ(QmObjectListCount(), 0);
    EXPECT_EQ(QmBaseObj::s_count, alive);
}

} // namespace
