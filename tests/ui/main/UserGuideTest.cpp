// Help > User Guide opens the guide the build wrote beside the program's folder
// in the browser, and says so when there is none.
#include "UserGuide.h"
#include "RecordingUiHost.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

// Takes the URLs the program hands the desktop's browser.
class BrowserStandIn final : public QObject {
    Q_OBJECT
public slots:
    void openUrl(const QUrl& url) { opened << url; }

public:
    QList<QUrl> opened;
};

void chooseUserGuide(UiHost& ui, const QString& executableFolder)
{
    QMenu help;
    AddUserGuideItem(help, ui, executableFolder);
    auto* item = help.findChild<QAction*>(QStringLiteral("mnuUserGuide"));
    ASSERT_NE(item, nullptr);
    item->trigger();
}

} // namespace

TEST(UserGuide, OpensTheGuideBesideTheProgramOrSaysItIsMissing)
{
    BrowserStandIn browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "openUrl");
    test::RecordingUiHost ui;

#ifdef GYRO_GUIDE_BUILT // the Windows build makes no guide of its own: its installer takes the host's
    // The test programs sit in build/tests, beside build/bin: the same guide.
    chooseUserGuide(ui, QCoreApplication::applicationDirPath());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_TRUE(
        browser.opened[0].toLocalFile().endsWith(QStringLiteral("/share/doc/gyroeval/guide/index.html")));
    EXPECT_TRUE(QFileInfo(browser.opened[0].toLocalFile()).isFile())
        << browser.opened[0].toString().toStdString();
    EXPECT_TRUE(ui.texts().isEmpty());
    browser.opened.clear();
#endif

    // Installed for Windows, the guide is in a folder beside the program.
    QTemporaryDir windowsLayout;
    ASSERT_TRUE(QDir(windowsLayout.path()).mkpath(QStringLiteral("bin/guide")));
    QFile page(windowsLayout.filePath(QStringLiteral("bin/guide/index.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    chooseUserGuide(ui, windowsLayout.filePath(QStringLiteral("bin")));
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0].toLocalFile(), page.fileName());
    EXPECT_TRUE(ui.texts().isEmpty());

    QTemporaryDir elsewhere;
    const qsizetype openedBefore = browser.opened.size();
    chooseUserGuide(ui, elsewhere.filePath(QStringLiteral("bin")));
    EXPECT_EQ(browser.opened.size(), openedBefore);
    ASSERT_EQ(ui.texts().size(), 1);
    EXPECT_TRUE(ui.texts()[0].startsWith(QStringLiteral("The user guide is not installed: ")))
        << ui.texts()[0].toStdString();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

#include "UserGuideTest.moc"
