// The control mechanism on its own widgets: which changes run a handler and
// how often.
#include "shell/controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(Controls, ListSelectionFromCodeRunsTheHandlerOnceEvenWhenUnchanged) {
    QComboBox list;
    list.addItems({"a", "b", "c"});
    QObject context;
    int runs = 0;
    zr::onClick(&list, &context, [&] { ++runs; });
    EXPECT_TRUE(zr::selectEntry(&list, 1));
    EXPECT_TRUE(zr::selectEntry(&list, 1));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(runs, 2);
    // Outside the list: nothing changes, nothing runs; no selection is a valid choice.
    EXPECT_FALSE(zr::selectEntry(&list, 3));
    EXPECT_FALSE(zr::selectEntry(&list, -2));
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(zr::selectEntry(&list, -1));
    EXPECT_EQ(runs, 3);
    // An operator's choice runs it once; filling or rebuilding the list runs nothing.
    list.setCurrentIndex(0);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(runs, 4);
    zr::fillList(&list, {"x", "y"});
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST(Controls, BoxesAndOptionButtonsFromCodeRunTheirHandlerOnce) {
    QWidget group;
    auto* box = new QCheckBox("x", &group);
    auto* a = new QRadioButton("a", &group);
    auto* b = new QRadioButton("b", &group);
    box->resize(80, 20);
    a->setChecked(true);
    QObject context;
    int runs = 0, runsA = 0, runsB = 0;
    bool seen = false;
    zr::onClick(box, &context, [&] {
        ++runs;
        seen = box->isChecked(); // the handler sees the new value
    });
    zr::onClick(a, &context, [&] { ++runsA; });
    zr::onClick(b, &context, [&] { ++runsB; });
    zr::setChecked(box, true);
    EXPECT_TRUE(seen);
    zr::setChecked(box, true);
    zr::setChecked(box, false);
    EXPECT_FALSE(seen);
    EXPECT_EQ(runs, 3);
    box->setChecked(true); // a plain value change is not a click
    EXPECT_EQ(runs, 3);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(runs, 4);
    zr::clickOption(b);
    zr::clickOption(b);
    EXPECT_TRUE(b->isChecked());
    EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(runsA, 0);
    EXPECT_EQ(runsB, 2);
}

TEST(Controls, AFailingHandlerGoesToTheFailureSink) {
    QComboBox list;
    list.addItems({"a"});
    QObject context;
    zr::onClick(&list, &context, [] { throw std::runtime_error("no library"); });
    QString got;
    zr::setFailureSink([&](const std::exception& e) { got = e.what(); });
    EXPECT_NO_THROW(zr::selectEntry(&list, 0));
    zr::setFailureSink(nullptr);
    EXPECT_EQ(got, "no library");
}

struct FieldFixture : ::testing::Test {
    QWidget top;
    QLineEdit* field = new QLineEdit("12", &top);
    QLineEdit* other = new QLineEdit(&top);
    std::vector<int> keys;
    int lost = 0;
    bool consumeEnter = true;
    void SetUp() override {
        (new QVBoxLayout(&top))->addWidget(field);
        top.layout()->addWidget(other);
        field->installEventFilter(new zr::KeyFilter(
            field,
            [this](int& k) {
                keys.push_back(k);
                if (k == zr::kKeyEnter && consumeEnter) {
                    k = 0;
                }
            },
            [this] { ++lost; }));
        top.show();
        QApplication::setActiveWindow(&top);
        field->setFocus();
        QApplication::processEvents();
    }
};

TEST_F(FieldFixture, KeysReachKeyPressWithTheirCodesAndAConsumedEnterNeverReachesTheField) {
    QSignalSpy returned(field, &QLineEdit::returnPressed);
    field->end(false);
    QTest::keyClicks(field, "3e");
    QTest::keyClick(field, Qt::Key_Left); // types no character: no KeyPress
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<int>{'3', 'e', zr::kKeyEnter}));
    EXPECT_EQ(field->text(), "123e");
    EXPECT_EQ(returned.count(), 0);
    consumeEnter = false;
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(returned.count(), 1);
    EXPECT_EQ(lost, 0);
}

TEST_F(FieldFixture, LosingTheFocusToAnotherControlRunsLostFocusOnce) {
    ASSERT_TRUE(field->hasFocus());
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(lost, 1);
}

} // namespace
