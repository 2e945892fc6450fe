// The window as an operator meets it: menus by keyboard, long read-outs and
// messages, resizing a paused graph, scaled screens.
#include "common/tests/window_fixture.h"
#include "shell/picture_box.h"
#include "shell/screen_fit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

namespace {

struct ShownForm : zr::test::WindowTest<> {
    QStringList trace;

    void SetUp() override {
        WindowTest::SetUp();
        form->setHandlerTrace([this](const QString& name) { trace << name; });
        form->presetall();
        form->controlmenu[7]->setVisible(true);
        form->show();
        QApplication::processEvents();
    }
    // A sloped line over the block, drawn as the loop would after a block.
    void drawRamp() {
        for (int i = 0; i < form->blocklen; ++i)
            form->dispdata[static_cast<std::size_t>(i)] = -0.5f + static_cast<float>(i) / 1024.0f;
        form->relabel = true;
        form->drawgraph();
    }
};

TEST_F(ShownForm, EveryMenuAndItemOpensByItsAccessKey) {
    auto key = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
    };
    auto expectDistinctKeys = [&key](const QList<QAction*>& actions, const char* where) {
        QString seen;
        for (const QAction* a : actions) {
            if (a->isSeparator())
                continue;
            const QChar k = key(a->text());
            EXPECT_TRUE(k.isLetterOrNumber()) << where << ": " << a->text().toStdString();
            EXPECT_FALSE(seen.contains(k)) << where << ": " << a->text().toStdString();
            seen += k;
        }
    };
    expectDistinctKeys(form->menuBar()->actions(), "menu bar");
    for (QMenu* m : {form->medit, form->mcontrol, form->mreset, form->mhelp})
        expectDistinctKeys(m->actions(), m->title().toStdString().c_str());
    // The captions read as designed once the marks are taken out.
    EXPECT_EQ(form->controlmenu[5]->text().remove(QLatin1Char('&')), "Marker");
    EXPECT_EQ(form->editmenu[0]->text().remove(QLatin1Char('&')), "Copy graph");

    // Alt+C, then L: the Clock panel, exactly as the mouse would choose it.
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activePopupWidget(), form->mcontrol);
    QTest::keyClick(form->mcontrol, Qt::Key_L);
    QApplication::processEvents();
    EXPECT_TRUE(trace.contains("controlmenu_click(6)"));
    EXPECT_TRUE(form->Frame1[6]->isVisible());
}

TEST_F(ShownForm, ALongReadOutNeverWidensTheWindowAndIsCopiedWhole) {
    drawRamp();
    QApplication::processEvents();
    const int width = form->width();
    commit(9, "1e100");
    commit(13, "1e999");
    form->drawgraph();
    QApplication::processEvents();
    EXPECT_EQ(form->width(), width);
    const QString yline = form->lablegraph[2]->text();
    EXPECT_GT(QFontMetrics(form->lablegraph[2]->font()).horizontalAdvance(yline),
              form->lablegraph[2]->width())
        << "the line is longer than it can show";
    form->editmenu_Click(1);
    EXPECT_TRUE(QApplication::clipboard()->text().contains(yline)) << "Copy Caption has it all";
    commit(9, "0");
    form->drawgraph();
    QApplication::processEvents();
    EXPECT_EQ(form->width(), width);
}

TEST_F(ShownForm, ResizingAPausedGraphRedrawsTheBlockAtTheNewSize) {
    drawRamp();
    const QSize before = form->picbox->size();
    form->resize(form->width() + 173, form->height() + 91);
    QApplication::processEvents();
    EXPECT_GT(form->picbox->width(), before.width());
    EXPECT_GT(form->picbox->height(), before.height());
    const QImage afterResize = form->picbox->image().copy();
    ASSERT_EQ(afterResize.size(), form->picbox->size());
    form->drawgraph(); // what a fresh draw at this size gives
    EXPECT_TRUE(form->picbox->image() == afterResize);
}

TEST(MessageBoxes, ALongListOfCodesWrapsInsideTheBox) {
    const QString text = "Self test passed" + QString(",-1005").repeated(120);
    const auto box = zr::messageBox(nullptr, text, "Self Test");
    box->show();
    QApplication::processEvents();
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().remove(QChar(0x200B)), text) << "only break chances are added";
    const QRect needed =
        QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, label->text());
    EXPECT_LE(needed.width(), label->width());
    EXPECT_LE(needed.height(), label->height()) << "every code is on show";
    EXPECT_EQ(zr::withBreakOpportunities("a, b,c"), QString("a, b,") + QChar(0x200B) + "c");
}

TEST(OpeningSize, FitsTheFreeAreaButNotBelowTheMinimum) {
    // A 1080-line screen at scale 2 leaves 960 x 510 logical pixels under a panel.
    EXPECT_EQ(zr::openingSize({760, 560}, {600, 400}, {960, 510}, {8, 32}), QSize(760, 478));
    EXPECT_EQ(zr::openingSize({760, 560}, {600, 500}, {960, 510}, {8, 32}), QSize(760, 500));
    EXPECT_EQ(zr::openingSize({760, 560}, {600, 400}, {1920, 1050}, {8, 32}), QSize(760, 560));
}

// Run with QT_SCALE_FACTOR=2 (a test of its own): the picture has a pixel per device pixel.
TEST_F(ShownForm, HiDpiPictureIsDrawnAtTheDevicePixelRatio) {
    const qreal ratio = form->picbox->devicePixelRatioF();
    ASSERT_EQ(ratio, 2.0) << "run under QT_SCALE_FACTOR=2";
    const QImage& image = form->picbox->image();
    EXPECT_EQ(image.size(), form->picbox->size() * 2);
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    drawRamp();
    // Not a picture drawn at half the size and doubled: some neighbouring columns differ.
    bool finer = false;
    for (int x = 0; x + 1 < image.width() && !finer; x += 2)
        for (int y = 0; y < image.height() && !finer; ++y)
            finer = image.pixel(x, y) != image.pixel(x + 1, y);
    EXPECT_TRUE(finer);
    // A click half-way across the picture lands half-way along the user x axis.
    double gx = -1;
    form->picbox->setMouseDown([&gx](int, int, double x, double) { gx = x; });
    const QTransform t = form->picbox->userTransform();
    QTest::mouseClick(form->picbox, Qt::LeftButton, {}, QPoint(form->picbox->width() / 2, 5));
    const double left = t.inverted().map(QPointF(0, 0)).x();
    const double right = t.inverted().map(QPointF(image.width(), 0)).x();
    EXPECT_NEAR(gx, (left + right) / 2, (right - left) / form->picbox->width());
}

} // namespace
