// The control mechanism on its own widgets: which changes run a handler and
// how often.
#include "shell/controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct ListFixture : ::testing::Test {
    QComboBox list;
    QObject context;
    int runs = 0;
    void SetUp() override {
        list.addItems({"a", "b", "c"});
        zr::onClick(&list, &context, [this] { ++runs; });
    }
};

TEST_F(ListFixture, SelectionFromCodeRunsTheHandlerOnce) {
    EXPECT_TRUE(zr::selectEntry(&list, 2));
    EXPECT_EQ(list.currentIndex(), 2);
    EXPECT_EQ(runs, 1);
}

TEST_F(ListFixture, SelectingTheSameEntryAgainStillRunsTheHandler) {
    zr::selectEntry(&list, 1);
    zr::selectEntry(&list, 1);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(list.currentIndex(), 1);
}

TEST_F(ListFixture, SelectionOutsideTheListChangesNothing) {
    zr::selectEntry(&list, 1);
    EXPECT_FALSE(zr::selectEntry(&list, 3));
    EXPECT_FALSE(zr::selectEntry(&list, -2));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(zr::selectEntry(&list, -1)); // no selection is a valid choice
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(runs, 2);
}

TEST_F(ListFixture, FillingOrRebuildingTheListRunsNothing) {
    list.addItems({"d", "e"});
    list.setCurrentIndex(4);
    zr::fillList(&list, {"x", "y"});
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(1), "y");
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST_F(ListFixture, OperatorChoiceRunsTheHandlerOnce) {
    list.setCurrentIndex(0);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(runs, 1);
}

TEST(Controls, CheckBoxFromCodeRunsItsHandlerOnceEvenWhenUnchanged) {
    QCheckBox box("x");
    QObject context;
    int runs = 0;
    bool seen = false;
    zr::onClick(&box, &context, [&] {
        ++runs;
        seen = box.isChecked();
    });
    zr::setChecked(&box, true);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(seen); // the handler sees the new value
    zr::setChecked(&box, true);
    EXPECT_EQ(runs, 2);
    zr::setChecked(&box, false);
    EXPECT_EQ(runs, 3);
    EXPECT_FALSE(seen);
    box.setChecked(true); // a plain value change is not a click
    EXPECT_EQ(runs, 3);
}

TEST(Controls, OperatorClickOnCheckBoxRunsOnce) {
    QCheckBox box("x");
    box.resize(80, 20);
    QObject context;
    int runs = 0;
    zr::onClick(&box, &context, [&] { ++runs; });
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(box.isChecked());
}

TEST(Controls, OptionButtonFromCodeSelectsItAndRunsItsHandler) {
    QWidget group;
    auto* a = new QRadioButton("a", &group);
    auto* b = new QRadioButton("b", &group);
    a->setChecked(true);
    QObject context;
    int runsA = 0, runsB = 0;
    zr::onClick(a, &context, [&] { ++runsA; });
    zr::onClick(b, &context, [&] { ++runsB; });
    zr::clickOption(b);
    EXPECT_TRUE(b->isChecked());
    EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(runsA, 0);
    EXPECT_EQ(runsB, 1);
    zr::clickOption(b);
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

TEST(Controls, BringToFrontShowsOnePageOfAStack) {
    QWidget top;
    auto* stack = new QStackedWidget(&top);
    QWidget* pages[3];
    for (auto*& p : pages) {
        p = new QWidget;
        stack->addWidget(p);
    }
    top.show();
    zr::bringToFront(pages[2]);
    EXPECT_TRUE(pages[2]->isVisible());
    EXPECT_FALSE(pages[0]->isVisible());
    EXPECT_FALSE(pages[1]->isVisible());
}

struct FieldFixture : ::testing::Test {
    QWidget top;
    QLineEdit* field = nullptr;
    QLineEdit* other = nullptr;
    std::vector<int> keys;
    int lost = 0;
    bool consumeEnter = true;
    void SetUp() override {
        auto* lay = new QVBoxLayout(&top);
        field = new QLineEdit("12");
        other = new QLineEdit;
        lay->addWidget(field);
        lay->addWidget(other);
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

TEST_F(FieldFixture, EnterReachesKeyPressAsThirteenAndIsConsumed) {
    QSignalSpy returned(field, &QLineEdit::returnPressed);
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], zr::kKeyEnter);
    EXPECT_EQ(returned.count(), 0); // the field never saw the key
    EXPECT_EQ(lost, 0);
}

TEST_F(FieldFixture, EnterNotConsumedReachesTheField) {
    consumeEnter = false;
    QSignalSpy returned(field, &QLineEdit::returnPressed);
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(returned.count(), 1);
}

TEST_F(FieldFixture, TypedCharactersPassThroughWithTheirCodes) {
    field->end(false);
    QTest::keyClicks(field, "3e");
    EXPECT_EQ(keys, (std::vector<int>{'3', 'e'}));
    EXPECT_EQ(field->text(), "123e");
    QTest::keyClick(field, Qt::Key_Left); // types no character: no KeyPress
    EXPECT_EQ(keys.size(), 2u);
}

TEST_F(FieldFixture, LosingTheFocusToAnotherControlRunsLostFocusOnce) {
    ASSERT_TRUE(field->hasFocus());
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(lost, 1);
}

} // namespace
