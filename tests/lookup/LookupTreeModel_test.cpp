#include "lookup/LookupTreeModel.h"

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "support/QtPrinters.h"

TEST(LookupTreeModel, nodes_hang_by_key_and_keep_the_order_they_were_added)
{
    LookupTreeModel model;
    model.agregar(QString(), QStringLiteral("A"), QStringLiteral("Consulta..."));
    model.agregar(QStringLiteral("A"), QStringLiteral("A01"), QStringLiteral("01 - Herr"));
    model.agregar(QStringLiteral("A"), QStringLiteral("A02"), QStringLiteral("02 - Pint"));
    model.agregar(QStringLiteral("A01"), QStringLiteral("A0101"), QStringLiteral("0101 - Man"));

    ASSERT_EQ(model.count(), 4);
    EXPECT_EQ(model.rowCount(), 1);
    const QModelIndex raiz = model.index(0, 0);
    EXPECT_EQ(model.rowCount(raiz), 2);
    const QModelIndex herr = model.index(0, 0, raiz);
    EXPECT_EQ(herr.data().toString(), QStringLiteral("01 - Herr"));
    EXPECT_EQ(model.index(0, 0, herr).data().toString(), QStringLiteral("0101 - Man"));
    EXPECT_EQ(model.parent(model.index(0, 0, herr)), herr);
    EXPECT_EQ(model.padre(3), 1);
    EXPECT_EQ(model.hijos(0), (std::vector<int> { 1, 2 }));
}

TEST(LookupTreeModel, a_repeated_key_or_a_missing_parent_adds_nothing)
{
    LookupTreeModel model;
    model.agregar(QString(), QStringLiteral("A"), QStringLiteral("Consulta..."));
    model.agregar(QStringLiteral("A"), QStringLiteral("A01"), QStringLiteral("01"));

    try {
        model.agregar(QStringLiteral("A"), QStringLiteral("A01"), QStringLiteral("otra"));
        ADD_FAILURE();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 35602);
    }
    try {
        model.agregar(QStringLiteral("A99"), QStringLiteral("A9901"), QStringLiteral("x"));
        ADD_FAILURE();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 35601);
    }
    EXPECT_EQ(model.count(), 2);
}

TEST(LookupTreeModel, the_longest_key_prefix_wins_and_the_earlier_on_a_tie)
{
    LookupTreeModel model;
    model.agregar(QString(), QStringLiteral("A"), QStringLiteral("Consulta..."));
    model.agregar(QStringLiteral("A"), QStringLiteral("A01"), QStringLiteral("01"));
    model.agregar(QStringLiteral("A"), QStringLiteral("a01"), QStringLiteral("01 otra"));
    model.agregar(QStringLiteral("A01"), QStringLiteral("A0101"), QStringLiteral("0101"));

    EXPECT_EQ(model.prefijoMasLargo(QStringLiteral("A010101")), 3);
    EXPECT_EQ(model.prefijoMasLargo(QStringLiteral("A0102")), 1);
    EXPECT_EQ(model.prefijoMasLargo(QStringLiteral("A0305")), 0);
    EXPECT_EQ(model.prefijoMasLargo(QStringLiteral("B")), -1);
}

TEST(LookupTreeModel, a_check_from_the_view_is_reported_once)
{
    LookupTreeModel model;
    model.setCheckBoxes(true);
    model.agregar(QString(), QStringLiteral("A"), QStringLiteral("Consulta..."));
    QList<int> marcados;
    QObject::connect(
        &model, &LookupTreeModel::nodeChecked, &model, [&](int node) { marcados.append(node); });

    EXPECT_TRUE(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    model.setChecked(0, false);

    EXPECT_EQ(marcados, QList<int> { 0 });
    EXPECT_FALSE(model.checked(0));
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
}
