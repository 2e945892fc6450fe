// Help, About and Reset.
#include "diag/diag_reports.h"
#include "common/qt_text.h"
#include "diag/program_info.h"
#include "driver/instrument.h"
#include "common/dialogs.h"
#include "shell/main_form.h"
#include "common/wait_cursor.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <thread>

namespace zr {

namespace {

// The module's hard-reset sequence: start it in register 2, give the module five seconds,
// then write register 7 with every bit set except bits 8 and 9, and read it back.
constexpr int16_t kHardResetRegister = 2;
constexpr int32_t kHardResetStart = 1;
constexpr std::chrono::seconds kHardResetWait{5};
constexpr int16_t kHardResetFinishRegister = 7;
constexpr int32_t kHardResetFinish = ~((1 << 8) | (1 << 9)); // -769

} // namespace

// Opens the user guide in the desktop's viewer and returns at once. The guide
// lies next to the program in the build tree, and in the program's data
// folder (share/zrq7010) when installed.
void MainForm::hlp_Click() {
    const QString path = QString::fromStdString(
        userGuidePath(QCoreApplication::applicationDirPath().toStdString()).string());
    const QUrl url = QUrl::fromLocalFile(path);
    if (!QFileInfo::exists(path)) {
        dialogs->message(QStringLiteral("The user guide was not found: ") + path,
                         QStringLiteral("Help"));
        return;
    }
    const bool opened = diagHooks.openUrl ? diagHooks.openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        dialogs->message(QStringLiteral("No viewer could open the user guide: ") + path,
                         QStringLiteral("Help"));
    }
}

void MainForm::about_Click() {
    const ProgramInfo program = programInfo();
    AboutInfo info;
    info.productName = program.productName;
    info.major = program.major;
    info.minor = program.minor;
    info.revision = program.revision;
    info.legalNotice = program.legalNotice;

    std::string libraryRev = blankDriverBuffer(kDriverTextSize);
    std::string firmwareRev = blankDriverBuffer(kDriverTextSize);
    zrq7010->revision_query(instr, libraryRev.data(), firmwareRev.data());
    info.libraryRevision = driverText(libraryRev.data(), libraryRev.size());
    info.firmwareRevision = driverText(firmwareRev.data(), firmwareRev.size());
    zrq7010->data_memsize_get(instr, &info.memoryMegabytes);
    zrq7010->diag_cal_get(instr, &info.calibrationStamp);

    QStringList lines;
    for (const std::string& line : aboutLines(info)) {
        lines << toQ(line);
    }
    dialogs->message(lines.join(QLatin1Char('\n')), toQ(std::string(kAboutTitle)));
}

// Soft (0) or hard (1) reset: stop the loop, reset the module, preset every
// setting and measure again.
void MainForm::resetmenu_Click(int index) {
    stopflag = true;
    if (index == 1) {
        // The module needs five seconds; the window deliberately stays busy, and says so.
        const WaitCursor wait;
        zrq7010->diag_poke(instr, kHardResetRegister, kHardResetStart);
        std::this_thread::sleep_for(kHardResetWait);
        zrq7010->diag_poke(instr, kHardResetFinishRegister, kHardResetFinish);
        int32_t value = 0; // read back, not used
        zrq7010->diag_peek(instr, kHardResetFinishRegister, &value);
    }
    zrq7010->reset(instr);
    presetall();
    meascontrol_Click(0);
}

} // namespace zr
