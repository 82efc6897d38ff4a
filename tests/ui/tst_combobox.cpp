#include "Colors.h"
#include "ComboBox.h"
#include "Keys.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

// The combo box: its choice, the events of the user's choice, and owner drawing of the field and
// the drop-down list.
class TestComboBox : public QObject
{
    Q_OBJECT

private slots:
    void itemsKeepTheChoice_data();
    void itemsKeepTheChoice();
    void userChoiceFiresOnChange_data();
    void userChoiceFiresOnChange();
    void ownerDrawnFieldAndList();
};

void TestComboBox::itemsKeepTheChoice_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("drop-down") << int(TComboBox::csDropDown);
    QTest::newRow("drop-down list") << int(TComboBox::csDropDownList);
    QTest::newRow("owner-drawn") << int(TComboBox::csOwnerDrawFixed);
}

void TestComboBox::itemsKeepTheChoice()
{
    QFETCH(int, style);
    TComboBox Combo;
    Combo.SetStyle(TComboBox::TComboBoxStyle(style));
    int Changes = 0;
    Combo.OnChange = [&](QObject*) { ++Changes; };
    for (const char* Text : {"c: (system)", "d: (data)", "e:"}) {
        Combo.Items().Add(QString::fromLatin1(Text));
    }
    QCOMPARE(Combo.ItemIndex(), -1); // adding items chooses none
    QCOMPARE(Combo.ComboWidget()->count(), 3);
    Combo.SetItemIndex(1);
    QCOMPARE(Combo.Text(), QStringLiteral("d: (data)"));
    Combo.Items().Insert(0, QStringLiteral("a:"));
    QCOMPARE(Combo.ItemIndex(), 2);
    Combo.Items().Delete(2);
    QCOMPARE(Combo.ItemIndex(), -1);
    Combo.SetItemIndex(7);
    QCOMPARE(Combo.ItemIndex(), -1);
    if (style != TComboBox::csDropDown) {
        Combo.SetText(QStringLiteral("E:"));
        QCOMPARE(Combo.ItemIndex(), 2);
    }
    Combo.Items().Clear();
    QCOMPARE(Combo.ItemIndex(), -1);
    QCOMPARE(Combo.ComboWidget()->count(), 0);
    QCOMPARE(Changes, 0); // nothing done in code fires OnChange
}

void TestComboBox::userChoiceFiresOnChange_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("drop-down list") << int(TComboBox::csDropDownList);
    QTest::newRow("with an edit field") << int(TComboBox::csDropDown);
}

void TestComboBox::userChoiceFiresOnChange()
{
    QFETCH(int, style);
    TComboBox Combo;
    Combo.SetStyle(TComboBox::TComboBoxStyle(style));
    Combo.Items().AddStrings({QStringLiteral("c:"), QStringLiteral("d:")});
    Combo.SetItemIndex(0);
    QList<int> Changes;
    QList<quint16> Keys;
    Combo.OnChange = [&](QObject*) { Changes.append(Combo.ItemIndex()); };
    Combo.OnKeyDown = [&](QObject*, quint16& Key, TControl::TShiftState) { Keys.append(Key); };
    Combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Combo));
    QWidget* Focus = Combo.ComboWidget()->lineEdit() ? static_cast<QWidget*>(Combo.ComboWidget()->lineEdit())
                                                     : Combo.ComboWidget();
    QTest::keyClick(Focus, Qt::Key_Down);
    QCOMPARE(Changes, QList<int>({1}));
    QCOMPARE(Keys, QList<quint16>({VK_DOWN})); // once, though the edit field passed it on
    if (style == TComboBox::csDropDown) {
        QTest::keyClicks(Focus, QStringLiteral("x"));
        QCOMPARE(Changes.size(), 2);
        QCOMPARE(Combo.Text(), QStringLiteral("d:x"));
    }
}

void TestComboBox::ownerDrawnFieldAndList()
{
    const QList<QRgb> Colors = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255)};
    TComboBox Combo;
    Combo.SetBounds(0, 0, 157, 24);
    Combo.SetStyle(TComboBox::csOwnerDrawFixed);
    Combo.SetItemHeight(18);
    QList<QPair<QRect, TOwnerDrawState>> Drawn;
    Combo.OnDrawItem = [&](TControl*, int Index, const QRect& Rect, TOwnerDrawState State) {
        Drawn.append({Rect, State});
        QPainter& Canvas = *Combo.Canvas();
        Canvas.fillRect(Rect, State.testFlag(odSelected) && !State.testFlag(odComboBoxEdit)
                                  ? Canvas.brush()
                                  : QBrush(QColor(Colors[Index])));
    };
    Combo.Items().AddStrings({QStringLiteral("c:"), QStringLiteral("d:"), QStringLiteral("e:")});
    Combo.SetItemIndex(2);

    QImage Shot(Combo.size(), QImage::Format_RGB32);
    Combo.render(&Shot);
    QCOMPARE(Drawn.size(), 1);
    const QRect Field = Drawn[0].first;
    QVERIFY(Drawn[0].second.testFlag(odComboBoxEdit));
    QVERIFY(Field.height() > 0 && Combo.rect().contains(Field));
    QCOMPARE(Shot.pixel(Field.center()), Colors[2]);

    // The drop-down list: each item ItemHeight high, the highlighted one in the highlight colour.
    QAbstractItemView* View = Combo.ComboWidget()->view();
    QCOMPARE(View->sizeHintForRow(1), 18);
    QImage Item(40, 18, QImage::Format_RGB32);
    QPainter Painter(&Item);
    QStyleOptionViewItem Option;
    Option.rect = Item.rect();
    Option.state = QStyle::State_Enabled | QStyle::State_Selected;
    View->itemDelegate()->paint(&Painter, Option, View->model()->index(1, 0));
    Option.state = QStyle::State_Enabled;
    Option.rect = QRect(0, 0, 20, 18);
    View->itemDelegate()->paint(&Painter, Option, View->model()->index(0, 0));
    Painter.end();
    QCOMPARE(Item.pixel(30, 9), ColorToRGB(clHighlight).rgb());
    QCOMPARE(Item.pixel(10, 9), Colors[0]);
    QVERIFY(Drawn.last().second == TOwnerDrawState());

    // Items of their own heights, measured when added.
    Combo.SetStyle(TComboBox::csOwnerDrawVariable);
    Combo.OnMeasureItem = [](TControl*, int Index, int& Height) { Height += 10 * Index; };
    Combo.Items().Add(QStringLiteral("f:"));
    QCOMPARE(Combo.ItemHeightOf(3), 48);
    QCOMPARE(View->sizeHintForRow(3), 48);
}

QTEST_MAIN(TestComboBox)
#include "tst_combobox.moc"
