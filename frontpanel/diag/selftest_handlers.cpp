// Self test, calibration table and power-on save of the main window.
#include "diag/diag_reports.h"
#include "common/qt_text.h"
#include "driver/instrument.h"
#include "common/dialogs.h"
#include "shell/main_form.h"
#include "common/wait_cursor.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>

#include <array>

namespace zr {

void MainForm::selftest_Click() {
    std::string testText;
    ErrorQueue queue;
    {
        const WaitCursor wait;
        std::string buffer = blankDriverBuffer(kDriverTextSize);
        int16_t result = 0;
        zrq7010->self_test(instr, &result, buffer.data());
        testText = driverText(buffer.data(), buffer.size());
        // Only the codes are reported; the query texts are not.
        queue = drainErrorQueue([this] {
            std::string text = blankDriverBuffer(kDriverTextSize);
            int32_t code = 0;
            zrq7010->error_query(instr, &code, text.data());
            return code;
        });
    }
    dialogs->message(toQ(selfTestMessage(testText, queue)), toQ(kSelfTestTitle));
}

void MainForm::showcaltable() {
    const bool firstShown = !cal->isVisible();
    cal->show();
    std::array<double, kCalTableSize> c{};
    zrq7010->diag_adccal_get(instr, c.data());
    const std::vector<std::string> lines = calTableLines(c);
    cal->cls();
    for (const std::string& line : lines) {
        cal->print(toQ(line));
    }
    // The table goes onto the clipboard when it appears and when it changes, not with every
    // block: whatever the operator copies in between stays there.
    const QString text = toQ(joinCrLf(lines));
    if (firstShown || text != calClipboardText_) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(text);
        calClipboardText_ = text;
    }
}

void MainForm::Command1_Click() {
    if (!dialogs->question(toQ(kSaveQuestion), toQ(kSaveTitle))) {
        return;
    }
    const QDateTime now = diagHooks.now ? diagHooks.now() : QDateTime::currentDateTime();
    StampDate date;
    date.year = now.date().year();
    date.month = now.date().month();
    date.day = now.date().day();
    date.hour = now.time().hour();
    date.minute = now.time().minute();
    const StampResult stamp = packStamp(date);
    if (!stamp.stamp) {
        // The stamp cannot hold this date: say so rather than store a wrapped one.
        dialogs->message(toQ(stamp.message), toQ(kSaveTitle));
        return;
    }
    zrq7010->diag_cal(instr, *stamp.stamp);
}

} // namespace zr
