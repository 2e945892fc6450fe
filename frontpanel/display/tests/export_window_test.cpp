// Edit > "Save Picture..." and "Export Data..." in the real window (offscreen), on simulated
// blocks: what the files hold, and that a cancelled or failed save leaves nothing behind.
#include "common/controls.h"
#include "common/save_file.h"
#include "common/tests/scripted_dialogs.h"
#include "display/engformat.h"
#include "driver/tests/fake_instrument.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

using Kind = zr::ScriptedDialogs::Kind;

struct ExportWindow : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;
    QTemporaryDir dir;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        form->resize(1000, 700);
        form->show();
        form->presetall(); // simulated blocks (instr 0)
    }
    QString save(QAction* item, const QString& name) {
        dialogs.addFileName(dir.filePath(name));
        item->trigger();
        return dir.filePath(name);
    }
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }
};

// The two items follow the two copies of the Edit menu, which keep their places.
TEST_F(ExportWindow, SaveItemsFollowTheCopies) {
    EXPECT_EQ(form->medit->actions().mid(0, 2),
              (QList<QAction*>{form->editmenu[0], form->editmenu[1]}));
    EXPECT_EQ(form->medit->actions().mid(3),
              (QList<QAction*>{form->savepicture, form->exportdata}));
    EXPECT_EQ(form->exportdata->text(), "&Export Data…");
}

// Every mode, also a resampled time trace (more points than the block): after the comments and
// the header, one row "x,y" per point on show with the point's exact x and drawn value. In
// Spectrum mode the largest value is the one the "Peak" marker reads out.
TEST_F(ExportWindow, CsvHoldsEveryPointOnShowAndThePeakReadout) {
    const std::pair<int, int> cases[] = {{0, 0}, {0, 1}, {1, 0}, {2, 0}}; // mode, option
    for (const auto& [mode, option] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << " option " << option);
        zr::selectEntry(form->measmode, mode);
        zr::clickOption(form->resampmode[static_cast<std::size_t>(option)]);
        zr::selectEntry(form->resamp, option);
        zr::clickButton(form->meascontrol[3]); // "Single"
        zr::clickButton(form->markmove[2]);    // "Peak"
        QFile f(save(form->exportdata, "t.csv"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeIf([](const QByteArray& l) { return l.startsWith('#'); });
        ASSERT_EQ(lines.takeLast(), "");            // the last row is ended too
        ASSERT_EQ(lines.size(), form->npoints + 1); // the header, then the points
        EXPECT_TRUE(option == 0 || form->npoints > form->blocklen);
        std::size_t peak = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(form->npoints); ++i) {
            const double x = form->xstart + static_cast<double>(i) * form->xstep;
            const QList<QByteArray> row = lines[static_cast<qsizetype>(i) + 1].split(',');
            ASSERT_EQ(row.size(), 2);
            ASSERT_EQ(row[0].toDouble(), x) << i;
            ASSERT_EQ(row[1].toFloat(), form->dispdata[i]) << i;
            peak = form->dispdata[i] > form->dispdata[peak] ? i : peak;
        }
        if (mode == 1) {
            EXPECT_EQ(form->lablegraph[3]->text().toStdString(),
                      "Marker: X= " +
                          zr::engformat(form->xstart + static_cast<double>(peak) * form->xstep, 6) +
                          "Hz  Y= " + zr::engformat(form->dispdata[peak], 6) + "dBm");
        }
    }
    EXPECT_EQ(dialogs.shown().front().title, "Export Data");
    EXPECT_TRUE(dialogs.shown().front().answer.endsWith(".csv"));
}

// The picture file is the clipboard's graph picture in device pixels (also run on a screen
// scaled by 2), pixel for pixel, with the read-out lines written under it.
TEST_F(ExportWindow, PictureIsTheCopiedGraphWithTheReadoutsUnderIt) {
    zr::clickButton(form->meascontrol[3]);
    form->editmenu[0]->trigger(); // "Copy graph"
    const QImage copied =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied.size(), zr::PictureBox::imageSizeFor(form->picbox->size(),
                                                          form->picbox->devicePixelRatioF()));
    const QImage saved =
        QImage(save(form->savepicture, "g.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_GT(saved.height(), copied.height());
    EXPECT_EQ(saved.copy(0, 0, copied.width(), copied.height()), copied);
    const QImage under = saved.copy(0, copied.height(), saved.width(), saved.height());
    int inked = 0; // text in the background's place
    for (int y = 0; y < under.height(); ++y)
        for (int x = 0; x < under.width(); ++x)
            inked += under.pixel(x, y) != form->picbox->backColor().rgb() ? 1 : 0;
    EXPECT_GT(inked, 50);
}

// Cancel asks and does nothing. A file that cannot be written (a missing folder, a "folder"
// that is a regular file) leaves no file and a message naming it and why.
TEST_F(ExportWindow, CancelledOrFailedSavesLeaveNoFile) {
    zr::clickButton(form->meascontrol[3]);
    QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
    for (QAction* item : {form->savepicture, form->exportdata}) {
        item->trigger(); // no file name: Cancel
        EXPECT_EQ(dialogs.shown().back().kind, Kind::SaveFile);
        for (const char* name : {"missing/x.out", "plain/x.out"}) {
            const QString path = save(item, name);
            ASSERT_EQ(dialogs.shown().back().kind, Kind::Message);
            const QString& text = dialogs.shown().back().text;
            EXPECT_TRUE(text.startsWith("Could not write the file \"" + path + "\": ") &&
                        text.endsWith(". Nothing was saved."))
                << text.toStdString();
        }
    }
    EXPECT_EQ(dialogs.shownOf(Kind::Message).size(), 4u);
    EXPECT_EQ(files(), QStringList{"plain"});
}

// A write that fails half-way leaves the older file of that name as it was and nothing else.
TEST_F(ExportWindow, AWriteFailingHalfWayLeavesTheOlderFile) {
    const QString path = dir.filePath("t.csv");
    EXPECT_EQ(zr::saveWhole(path, QByteArray("old\n")), QString());
    EXPECT_NE(zr::saveWhole(path, [](QIODevice& d) { return d.write("half") < 0; }), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old\n");
    EXPECT_EQ(files(), QStringList{"t.csv"});
}

} // namespace
