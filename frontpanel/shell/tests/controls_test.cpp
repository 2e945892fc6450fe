// The control mechanism on its own widgets: which changes run a handler and how often.
#include "common/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(Controls, ListSelectionFromCodeRunsTheHandlerOnceEvenWhenUnchanged) {
    QComboBox list;
    list.addItems({"a", "b", "c"});
    QObject context;
    int runs = 0;
    zr::onClick(&list, &context, [&] { ++runs; });
    EXPECT_TRUE(zr::selectEntry(&list, 1));
    EXPECT_TRUE(zr::selectEntry(&list, 1));
    EXPECT_EQ(runs, 2);
    // Outside the list: nothing changes, nothing runs; no selection is a valid choice.
    EXPECT_FALSE(zr::selectEntry(&list, 3));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_TRUE(zr::selectEntry(&list, -1));
    // An operator's choice runs it once; filling or rebuilding the list runs nothing.
    list.setCurrentIndex(0);
    QTest::keyClick(&list, Qt::Key_Down);
    zr::fillList(&list, {"x", "y"});
    EXPECT_EQ(runs, 4); // 2 + the empty selection + the key
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST(Controls, BoxesAndOptionButtonsFromCodeRunTheirHandlerOnce) {
    QWidget group;
    auto* box = new QCheckBox("x", &group);
    auto* b = new QRadioButton("b", &group);
    box->resize(80, 20);
    QObject context;
    int runs = 0, runsB = 0;
    bool seen = false;
    zr::onClick(box, &context, [&] {
        ++runs;
        seen = box->isChecked(); // the handler sees the new value
    });
    zr::onClick(b, &context, [&] { ++runsB; });
    zr::setChecked(box, true);
    EXPECT_TRUE(seen);
    zr::setChecked(box, true);
    EXPECT_EQ(runs, 2);
    box->setChecked(false); // a plain value change is not a click
    EXPECT_EQ(runs, 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(runs, 3);
    zr::clickOption(b);
    zr::clickOption(b);
    EXPECT_EQ(runsB, 2);
}

// Leaving a field by focus change is checked on the settings window.
TEST(Controls, KeysReachKeyPressWithTheirCodesAndAConsumedEnterNeverReachesTheField) {
    QLineEdit field("12");
    std::vector<int> keys;
    bool consumeEnter = true;
    field.installEventFilter(new zr::KeyFilter(
        &field,
        [&](int& k) {
            keys.push_back(k);
            if (k == zr::kKeyEnter && consumeEnter) {
                k = 0;
            }
        },
        [] {}));
    QSignalSpy returned(&field, &QLineEdit::returnPressed);
    QTest::keyClicks(&field, "3e");
    QTest::keyClick(&field, Qt::Key_Left); // types no character: no KeyPress
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<int>{'3', 'e', zr::kKeyEnter}));
    EXPECT_EQ(field.text(), "123e");
    EXPECT_EQ(returned.count(), 0);
    consumeEnter = false;
    QTest::keyClick(&field, Qt::Key_Enter);
    EXPECT_EQ(returned.count(), 1);
}

} // namespace
