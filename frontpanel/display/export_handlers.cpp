// Edit > "Save Picture..." and "Export Data...": the graph picture and the
// trace on show written to files the operator chooses.
#include "common/dialogs.h"
#include "common/save_file.h"
#include "display/export_csv.h"
#include "display/export_picture.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <span>

namespace zr {

namespace {

std::string entryText(const QComboBox* list) {
    return list->currentText().toStdString();
}

} // namespace

QImage MainForm::graphPicture() {
    presentGraph(); // the read-outs of the latest block
    std::array<std::string, 5> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = lablegraph[i]->text().toStdString();
    }
    return pictureWithReadouts(picbox->image(), lines, lablegraph[0]->font(),
                               picbox->backColor().rgb(), picbox->foreColor().rgb());
}

std::string MainForm::traceCsvText() {
    presentGraph(); // the read-outs of the latest block
    TraceExport t;
    t.modeindex = modeindex;
    t.saved = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    for (std::size_t i = 0; i < t.readouts.size(); ++i) {
        t.readouts[i] = lablegraph[i]->text().toStdString();
    }
    TraceSettings& s = t.settings;
    s.mode = entryText(measmode);
    s.range = entryText(range);
    s.datatype = entryText(datatype);
    s.blocklen = blocklen;
    s.fs = selectedSampleRate();
    s.centerfreq = clockfreq * centerfrac;
    s.window = entryText(window);
    s.averaging = entryText(averaging);
    s.numavg = numavg;
    s.avgcount = avgcount;
    for (const QRadioButton* option : resampmode) {
        if (option->isChecked()) {
            s.resampling = option->text().toStdString();
        }
    }
    s.ratemultiplier = entryText(resamp);
    s.nbins = selectedBins();
    s.histmin = histmin;
    s.histmax = histmax;
    t.xstart = xstart;
    t.xstep = xstep;
    const auto shown = static_cast<std::size_t>(std::max(npoints, 1));
    t.values = std::span<const float>(dispdata).first(std::min(shown, dispdata.size()));
    return traceCsv(t);
}

void MainForm::saveToFile(const QString& title, const QString& name, const QString& filter,
                          const std::function<bool(QIODevice&)>& write) {
    const QString folder = saveFolder_.isEmpty() ? QDir::homePath() : saveFolder_;
    const QString path = dialogs->saveFileName(title, QDir(folder).filePath(name), filter);
    if (path.isEmpty()) {
        return; // cancelled
    }
    const QString reason = saveWhole(path, write);
    if (!reason.isEmpty()) {
        dialogs->message(saveFailedText(path, reason), title);
        return;
    }
    saveFolder_ = QFileInfo(path).absolutePath();
}

void MainForm::savepicture_Click() {
    const QImage picture = graphPicture();
    saveToFile(QStringLiteral("Save Picture"), QStringLiteral("zrq7010-graph.png"),
               QStringLiteral("PNG pictures (*.png)"),
               [&picture](QIODevice& device) { return picture.save(&device, "PNG"); });
}

void MainForm::exportdata_Click() {
    const QByteArray csv = QByteArray::fromStdString(traceCsvText());
    saveToFile(QStringLiteral("Export Data"), QStringLiteral("zrq7010-trace.csv"),
               QStringLiteral("CSV files (*.csv)"),
               [&csv](QIODevice& device) { return device.write(csv) == csv.size(); });
}

} // namespace zr
