// Edit > "Save Picture..." and "Export Data..." in the real window (offscreen), on simulated
// blocks: what the files hold, and that a cancelled or failed save leaves nothing behind.
#include "common/save_file.h"
#include "common/tests/window_fixture.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <utility>

namespace {

struct ExportWindow : zr::test::WindowTest<> {
    QTemporaryDir dir;

    void SetUp() override {
        WindowTest::SetUp();
        form->instr = 0; // simulated blocks
        form->resize(1000, 700);
        form->show();
        form->presetall();
    }
    QByteArray save(QAction* item, const QString& name) {
        dialogs.addInput(dir.filePath(name));
        item->trigger();
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Every mode, also a resampled time trace (more points than the block): after the comments and
// the header, one row "x,y" per point on show with the point's exact x and drawn value. "Peak"
// moves the marker of the mode on show to the largest of them.
TEST_F(ExportWindow, CsvHoldsEveryPointOnShowAndPeakFindsTheLargest) {
    const std::pair<int, int> cases[] = {{0, 0}, {0, 1}, {1, 0}, {2, 0}}; // mode, option
    for (const auto& [mode, option] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << " option " << option);
        zr::selectEntry(form->measmode, mode);
        zr::clickOption(form->resampmode[static_cast<std::size_t>(option)]);
        zr::selectEntry(form->resamp, option);
        zr::clickButton(form->meascontrol[3]); // "Single"
        zr::clickButton(form->markmove[2]);    // "Peak"
        QList<QByteArray> lines = save(form->exportdata, "t.csv").split('\n');
        lines.removeIf([](const QByteArray& l) { return l.startsWith('#'); });
        ASSERT_EQ(lines.takeLast(), "");            // the last row is ended too
        ASSERT_EQ(lines.size(), form->npoints + 1); // the header, then the points
        EXPECT_TRUE(option == 0 || form->npoints > form->blocklen);
        std::size_t peak = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(form->npoints); ++i) {
            const QList<QByteArray> row = lines[static_cast<qsizetype>(i) + 1].split(',');
            ASSERT_EQ(row.size(), 2);
            ASSERT_EQ(row[0].toDouble(), form->xstart + static_cast<double>(i) * form->xstep);
            ASSERT_EQ(row[1].toFloat(), form->dispdata[i]) << i;
            peak = form->dispdata[i] > form->dispdata[peak] ? i : peak;
        }
        EXPECT_EQ(form->markx[static_cast<std::size_t>(mode)],
                  form->xstart + static_cast<double>(peak) * form->xstep);
    }
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
        QImage::fromData(save(form->savepicture, "g.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_GT(saved.height(), copied.height());
    EXPECT_EQ(saved.copy(0, 0, copied.width(), copied.height()), copied);
    QImage blank(saved.width(), saved.height() - copied.height(), QImage::Format_RGB32);
    blank.fill(form->picbox->backColor());
    EXPECT_NE(saved.copy(0, copied.height(), blank.width(), blank.height()), blank); // text
}

// The items follow the two copies. Cancel asks and does nothing. A file that cannot be written
// (a missing folder, a "folder" that is a regular file) leaves no file and a message naming it
// and why; a write failing half-way leaves an older file of that name as it was.
TEST_F(ExportWindow, CancelledOrFailedSavesLeaveNoFile) {
    EXPECT_EQ(form->medit->actions().mid(3),
              (QList<QAction*>{form->savepicture, form->exportdata}));
    zr::clickButton(form->meascontrol[3]);
    ASSERT_TRUE(QFile(dir.filePath("plain")).open(QIODevice::WriteOnly));
    for (QAction* item : {form->savepicture, form->exportdata}) {
        item->trigger(); // no file name: Cancel
        EXPECT_EQ(dialogs.shown().back().kind, zr::ScriptedDialogs::Kind::SaveFile);
        for (const QString name : {"missing/x", "plain/x"}) {
            save(item, name);
            const QString& text = dialogs.shown().back().text;
            EXPECT_TRUE(text.startsWith("Could not write the file \"" + dir.filePath(name)) &&
                        text.endsWith(". Nothing was saved."))
                << text.toStdString();
        }
    }
    const QString old = dir.filePath("old");
    EXPECT_EQ(zr::saveWhole(old, QByteArray("old\n")), QString());
    EXPECT_NE(zr::saveWhole(old, [](QIODevice& d) { return d.write("half") < 0; }), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              (QStringList{"old", "plain"}));
    QFile f(old);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == "old\n");
}

} // namespace
