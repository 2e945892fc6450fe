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
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using Kind = zr::ScriptedDialogs::Kind;

struct Row {
    double x = 0.0;
    float y = 0.0f;
};

// The data rows of a CSV file, read strictly: after the comment lines and the header, every line
// is exactly two numbers separated by one comma. Any other line fails the test.
std::vector<Row> csvRows(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    std::vector<Row> rows;
    bool header = false;
    for (const QByteArray& line : lines) {
        if (line.startsWith('#') || (line.isEmpty() && &line == &lines.back())) {
            continue;
        }
        if (!header) {
            header = true;
            EXPECT_EQ(line.count(','), 1) << line.toStdString();
            continue;
        }
        const QList<QByteArray> fields = line.split(',');
        EXPECT_EQ(fields.size(), 2) << line.toStdString();
        const std::string x = fields.value(0).toStdString(), y = fields.value(1).toStdString();
        char* end = nullptr;
        Row r;
        r.x = std::strtod(x.c_str(), &end);
        EXPECT_TRUE(!x.empty() && *end == '\0') << line.toStdString();
        r.y = std::strtof(y.c_str(), &end);
        EXPECT_TRUE(!y.empty() && *end == '\0') << line.toStdString();
        rows.push_back(r);
    }
    EXPECT_TRUE(header);
    return rows;
}

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
    void TearDown() override { form.reset(); }
    void single() { zr::clickButton(form->meascontrol[3]); }
    QString save(QAction* item, const QString& name) {
        const QString path = dir.filePath(name);
        dialogs.addFileName(path);
        item->trigger();
        return path;
    }
};

// Every mode, also a resampled time trace (more points than the block): one row per point on
// show, each the point's x and the value drawn. In Spectrum mode the largest value is the one
// the "Peak" marker reads out.
TEST_F(ExportWindow, CsvHoldsEveryPointOnShowAndThePeakReadout) {
    struct Case {
        int mode;
        int resampling; // option of "Filter & Resample"
    };
    for (const Case c : {Case{0, 0}, Case{0, 1}, Case{1, 0}, Case{2, 0}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " option " << c.resampling);
        zr::selectEntry(form->measmode, c.mode);
        zr::clickOption(form->resampmode[static_cast<std::size_t>(c.resampling)]);
        zr::selectEntry(form->resamp, c.resampling == 0 ? 0 : 1);
        single();
        zr::clickButton(form->markmove[2]); // "Peak"
        const std::vector<Row> rows = csvRows(save(form->exportdata, "t.csv"));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(form->npoints));
        if (c.resampling != 0) {
            EXPECT_GT(form->npoints, form->blocklen);
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].x, form->xstart + static_cast<double>(i) * form->xstep) << i;
            ASSERT_EQ(rows[i].y, form->dispdata[i]) << i;
        }
        if (c.mode == 1) {
            const auto peak =
                std::max_element(rows.begin(), rows.end(), [](Row a, Row b) { return a.y < b.y; });
            EXPECT_EQ(form->lablegraph[3]->text().toStdString(),
                      "Marker: X= " + zr::engformat(peak->x, 6) +
                          "Hz  Y= " + zr::engformat(peak->y, 6) + "dBm");
        }
    }
    const auto asked = dialogs.shownOf(Kind::SaveFile);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front().title, "Export Data");
    EXPECT_TRUE(asked.front().answer.endsWith(".csv"));
    EXPECT_TRUE(dialogs.shownOf(Kind::Message).empty());
}

// The picture file is the clipboard's graph picture, pixel for pixel, with the read-out lines
// written under it.
TEST_F(ExportWindow, PictureIsTheCopiedGraphWithTheReadoutsUnderIt) {
    zr::selectEntry(form->measmode, 1);
    single();
    form->editmenu[0]->trigger(); // "Copy graph"
    const QImage copied =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    // In device pixels (also run on a screen scaled by 2).
    EXPECT_EQ(copied.size(), zr::PictureBox::imageSizeFor(form->picbox->size(),
                                                          form->picbox->devicePixelRatioF()));
    const QImage saved(save(form->savepicture, "g.png"));
    ASSERT_FALSE(saved.isNull());
    ASSERT_GT(saved.height(), copied.height());
    EXPECT_GE(saved.width(), copied.width());
    EXPECT_EQ(
        saved.copy(0, 0, copied.width(), copied.height()).convertToFormat(QImage::Format_RGB32),
        copied);
    // Text in the background's place under the picture.
    const QRgb background = form->picbox->backColor().rgb();
    int inked = 0;
    for (int y = copied.height(); y < saved.height(); ++y) {
        for (int x = 0; x < saved.width(); ++x) {
            inked += saved.pixel(x, y) != background ? 1 : 0;
        }
    }
    EXPECT_GT(inked, 50);
}

// Cancel asks and does nothing. A file that cannot be written (a missing folder, a "folder"
// that is a regular file) leaves no file and says why, naming the file.
TEST_F(ExportWindow, CancelledOrFailedSavesLeaveNoFile) {
    single();
    {
        QFile plain(dir.filePath("plain"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    for (QAction* item : {form->savepicture, form->exportdata}) {
        SCOPED_TRACE(item->text().toStdString());
        const auto shown = dialogs.shown().size();
        item->trigger(); // no file name: Cancel
        ASSERT_EQ(dialogs.shown().size(), shown + 1);
        EXPECT_EQ(dialogs.shown().back().kind, Kind::SaveFile);
        for (const QString& name : {QString("missing/x.out"), QString("plain/x.out")}) {
            const auto before = dialogs.shownOf(Kind::Message).size();
            const QString path = save(item, name);
            EXPECT_FALSE(QFile::exists(path));
            const auto messages = dialogs.shownOf(Kind::Message);
            ASSERT_EQ(messages.size(), before + 1);
            EXPECT_TRUE(messages.back().text.contains(path)) << messages.back().text.toStdString();
            EXPECT_TRUE(messages.back().text.contains("Nothing was saved"));
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"plain"});
}

// A write that fails half-way leaves the older file of that name as it was and nothing else.
TEST(SaveWhole, AWriteFailingHalfWayLeavesTheOlderFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.csv");
    EXPECT_EQ(zr::saveWhole(path, QByteArray("old\n")), QString());
    const QString reason = zr::saveWhole(path, [](QIODevice& device) {
        device.write("half of the new contents");
        return false;
    });
    EXPECT_FALSE(reason.isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"t.csv"});
}

} // namespace
