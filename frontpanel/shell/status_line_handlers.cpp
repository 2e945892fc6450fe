// The status line under the window: run state, blocks per second and, in Spectrum mode, the
// resolution bandwidth. The loop only counts blocks and notes its run state; a timer rewrites
// the texts four times per second. A label that changes makes the status bar lay out and paint
// again, which would cost a loop that is started and stopped often (Single after Single) more
// than the pass itself, so not even a loop's start or end refreshes the line at once.
#include "shell/main_form.h"

#include "common/qt_text.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <chrono>

namespace zr {

namespace {

constexpr int kStatusRefreshMs = 250;

void setIfChanged(QLabel* label, const std::string& text) {
    const QString t = toQ(text);
    if (label->text() != t)
        label->setText(t);
}

} // namespace

void MainForm::buildStatusLine() {
    runstate = new QLabel;
    blockrate = new QLabel;
    rbw = new QLabel;
    runstate->setObjectName(QStringLiteral("runstate"));
    blockrate->setObjectName(QStringLiteral("blockrate"));
    rbw->setObjectName(QStringLiteral("rbw"));
    const QFontMetrics fm(runstate->font());
    runstate->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Running")) + 12);
    blockrate->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00000.0 blocks/s")) + 12);
    statusBar()->addWidget(runstate);
    statusBar()->addWidget(blockrate);
    statusBar()->addWidget(rbw, 1);
    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(kStatusRefreshMs);
    connect(statusTimer_, &QTimer::timeout, this, [this] { refreshStatus(); });
    statusTimer_->start();
    refreshStatus();
}

std::int64_t MainForm::statusClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void MainForm::refreshStatus() {
    if (unloading || runstate == nullptr)
        return;
    const bool running = runState_ == RunState::Running;
    setIfChanged(runstate, runStateText(running && singleflag ? RunState::Single : runState_));
    setIfChanged(blockrate, blockRateText(running ? blockRate_.perSecond(statusClockNs()) : 0.0));
    setIfChanged(rbw, modeindex == 1 ? rbwText(resolutionBandwidth(windowindex,
                                                                   selectedSampleRate(), blocklen))
                                     : std::string());
}

} // namespace zr
