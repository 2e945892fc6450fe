// Help and About of the real window (offscreen), against the recording
// instrument and scripted dialogs.
#include "driver/tests/fake_instrument.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#ifndef ZR_TEST_PROJECT_VERSION
#error "the build passes the project version"
#endif

namespace {

using Kind = zr::ScriptedDialogs::Kind;

struct HelpAbout : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;
    std::vector<QUrl> opened;
    bool viewerAccepts = true;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        form->instr = 4097;
        form->diagHooks.openUrl = [this](const QUrl& url) {
            opened.push_back(url);
            return viewerAccepts;
        };
        instrument.clearLog();
    }
    std::vector<zr::ScriptedDialogs::Shown> messages() const {
        return dialogs.shownOf(Kind::Message);
    }
    QStringList aboutText() {
        form->about_Click();
        const auto shown = messages();
        if (shown.size() != 1u) {
            ADD_FAILURE() << "one About box expected, got " << shown.size();
            return {};
        }
        EXPECT_EQ(shown[0].title, "About ZRQ7010 Front Panel");
        return shown[0].text.split('\n');
    }
};

TEST_F(HelpAbout, HelpOpensTheUserGuideNextToTheProgram) {
    const QString guide =
        QDir(QCoreApplication::applicationDirPath()).filePath("zrq7010-help.html");
    form->hlp_Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(guide));
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(instrument.log().empty());

    // The guide the build put there covers what an operator needs.
    QFile file(opened[0].toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << guide.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* topic :
         {"Panels", "Measurement modes", "Marker", "Keyboard use", "Enter commits a field",
          "Simulated mode", "/a\"descriptor\"", "<code>/d</code>", "--snapshot", "Diagnostics"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
    }
}

TEST_F(HelpAbout, AViewerThatCannotOpenTheGuideIsReported) {
    viewerAccepts = false;
    form->hlp_Click();
    ASSERT_EQ(opened.size(), 1u);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains("zrq7010-help.html"));
}

TEST_F(HelpAbout, AboutShowsVersionNoticeAndWhatTheModuleReports) {
    instrument.libraryRevision = "lib 2.1";
    instrument.firmwareRevision = "fw B3";
    instrument.memsizeMegabytes = 64;
    instrument.calStamp = 2098403909; // 3 March 2001, 09:05
    const QStringList text = aboutText();
    ASSERT_EQ(text.size(), 10);
    EXPECT_EQ(text[0], QString("ZRQ7010 Front Panel, Version ") + ZR_TEST_PROJECT_VERSION);
    EXPECT_TRUE(text[1].startsWith("Copyright")) << text[1].toStdString();
    EXPECT_EQ(text[6], "   Library revision: lib 2.1");
    EXPECT_EQ(text[7], "   Firmware/Board revision: fw B3");
    EXPECT_EQ(text[8], "   Memory Size:  64MByte");
    EXPECT_EQ(text[9], "   Last calibrated: 03-03-2001,  09:05");
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_revision_query 4097",
                                                          "zrq7010_data_memsize_get 4097",
                                                          "zrq7010_diag_cal_get 4097"}));
}

TEST_F(HelpAbout, AboutWithAZeroStampAndTextsWithoutNul) {
    instrument.terminateTexts = false;
    instrument.calStamp = 0;
    instrument.memsizeMegabytes = 128;
    const QStringList text = aboutText();
    ASSERT_EQ(text.size(), 10);
    EXPECT_EQ(text[6], "   Library revision: ");
    EXPECT_EQ(text[7], "   Firmware/Board revision: ");
    EXPECT_EQ(text[8], "   Memory Size:  128MByte");
    EXPECT_EQ(text[9], "   Last calibrated: 00-00-0,  00:00");
}

} // namespace
