// The folder settings dialog opened from the main window: what it shows,
// what each way out leaves in DataFolder, one dialog per program, its life
// beside and after the main window, and when the new folder is used and
// saved.
#include <filesystem>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "app/worked_example.h"
#include "dialogs/folder_browser.h"
#include "dialogs/folder_dialog.h"
#include "dialogs/folder_dialogs.h"
#include "dialogs/pattern_dialog.h"
#include "settings/profile_file.h"
#include "support/temp_folder.h"
#include "ui/dir_list.h"
#include "ui/text_box.h"

using lomi::FolderBrowser;
using lomi::FolderDialog;
using lomi::MainWindow;
using lomi::PatternDialog;
namespace fs = std::filesystem;
namespace t = lomi::test;
using t::Q;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// One run of the program with the worked example's ticket files in the
// data folder's subfolder "tickets".
struct Session : t::MainWindowSession {
    Session() {
        t::MakeFolders(data.Path(), {"tickets", "other"});
        t::WriteWorkedExample(data / "tickets");
    }

    ~Session() {
        if (FolderDialog* dialog = FolderDialog::OpenFor(state)) dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Chooses ﾌｫﾙﾀﾞの設定 and returns the dialog, browsing the data folder's
    // drive.
    FolderDialog* OpenSettings() {
        window->findChild<QAction*>("FolderAction")->trigger();
        FolderDialog* dialog = FolderDialog::OpenFor(state);
        if (dialog) dialog->SetDrives(t::FolderDrives({data.Path()}, data.Path()));
        return dialog;
    }

    // Browses from dialog into the data folder's subfolder name and confirms.
    static void BrowseTo(FolderDialog* dialog, const char* name) {
        QVERIFY(t::Browse(*dialog, [&](FolderBrowser* p) {
            t::DoubleClickFolder(p->FolderList(), name);
            t::Click(t::Button(p, "OkButton"));
        }));
    }

    // Loads the pattern the stored selections give through the pattern
    // dialog; returns the text of any message it showed.
    QString LoadPattern() {
        t::Click(window->findChild<QPushButton*>("OpenButton"));
        PatternDialog* dialog = window->OpenPatternDialog();
        if (!dialog) {
            QTest::qFail("the pattern dialog did not open", __FILE__, __LINE__);
            return {};
        }
        t::SeenMessage seen;
        {
            const auto answer = t::AnswerMessage(&seen);
            t::Click(t::Button(dialog, "OkButton"));
            if (!WaitForLoad()) QTest::qFail("the load did not end", __FILE__, __LINE__);
        }
        if (window->OpenPatternDialog()) t::Click(t::Button(dialog, "CancelButton"));
        return seen.text;
    }

    std::string SavedPath() const { return lomi::ReadProfileString(ini, "DEF", "PATH"); }
};

int OpenSettingsDialogs() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<FolderDialog*>(window) && window->isVisible()) ++count;
    }
    return count;
}

}  // namespace

class FolderSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void opensBesideTheMainWindowShowingTheDataFolder() {
        Session s;
        FolderDialog* d = s.OpenSettings();
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), U("ﾌｫﾙﾀﾞの設定"));
        QCOMPARE(d->size(), QSize(372, 99));
        QVERIFY(!d->isModal());
        QVERIFY(s.window->isEnabled());
        QCOMPARE(d->parentWidget(), nullptr);  // not owned by the main window
        auto* frame = d->findChild<QGroupBox*>("FolderFrame");
        QCOMPARE(frame->title(), U("Tolvikｺﾝﾃｽﾄ形式買い目ﾌｧｲﾙ格納ﾌｫﾙﾀﾞ"));
        QCOMPARE(d->FolderLabel()->text(), Q(s.data.Path()));
        QCOMPARE(d->FolderLabel()->parentWidget(), frame);
        QCOMPARE(d->FolderLabel()->geometry(), QRect(8, 21, 301, 25));
        QPushButton* dots = t::Button(d, "BrowseButton");
        QCOMPARE(dots->text(), U("..."));
        QCOMPARE(dots->font().pointSizeF(), 12.0);
        QCOMPARE(dots->font().families().value(0), U("ＭＳ Ｐゴシック"));
        QCOMPARE(t::Button(d, "OkButton")->text(), U("OK"));
        QCOMPARE(t::Button(d, "CancelButton")->text(), U("ｷｬﾝｾﾙ"));
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTRY_COMPARE(QApplication::focusWidget(), t::Button(d, "OkButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), t::Button(d, "CancelButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dots);
        // Esc is no key of this dialog.
        QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(d->isVisible());
    }

    void okWithoutBrowsingWritesTheSameTextBack() {
        Session s;
        // Written back exactly: a root with its separator, a folder that does
        // not exist, a trailing separator.
        for (const std::string& folder :
             {std::string("/"), std::string("D:\\"), s.data.PathText() + "/"}) {
            s.state.DataFolder = folder;
            FolderDialog* d = s.OpenSettings();
            QCOMPARE(d->FolderLabel()->text(), QString::fromStdString(folder));
            t::Click(t::Button(d, "OkButton"));
            QCOMPARE(s.state.DataFolder, folder);
            QCOMPARE(FolderDialog::OpenFor(s.state), nullptr);
        }
    }

    void okAdoptsTheBrowsedFolderCancelAndTheCloseBoxForgetIt() {
        Session s;
        const std::string before = s.state.DataFolder;
        FolderDialog* d = s.OpenSettings();
        Session::BrowseTo(d, "tickets");
        QCOMPARE(d->FolderLabel()->text(), Q(s.data / "tickets"));
        QCOMPARE(s.state.DataFolder, before);
        t::Click(t::Button(d, "CancelButton"));
        QCOMPARE(s.state.DataFolder, before);

        d = s.OpenSettings();
        QCOMPARE(d->FolderLabel()->text(), Q(s.data.Path()));  // afresh from DataFolder
        Session::BrowseTo(d, "tickets");
        QVERIFY(d->close());
        QCOMPARE(s.state.DataFolder, before);

        d = s.OpenSettings();
        Session::BrowseTo(d, "other");
        t::Click(t::Button(d, "OkButton"));
        QCOMPARE(s.state.DataFolder, (s.data / "other").string());
    }

    void aCancelledSecondBrowseKeepsTheFolderConfirmedFirst() {
        Session s;
        FolderDialog* d = s.OpenSettings();
        Session::BrowseTo(d, "tickets");
        QVERIFY(t::Browse(*d, [&](FolderBrowser* p) {
            // The second browse starts from the confirmed folder.
            QCOMPARE(p->FolderList()->Path(), Q(s.data / "tickets"));
            t::DoubleClickFolder(p->FolderList(), s.data.Path().filename().string().c_str());
            t::DoubleClickFolder(p->FolderList(), "other");
            t::Click(t::Button(p, "CancelButton"));
        }));
        QCOMPARE(d->FolderLabel()->text(), Q(s.data / "tickets"));
        QCOMPARE(d->Browser(), nullptr);
        t::Click(t::Button(d, "OkButton"));
        QCOMPARE(s.state.DataFolder, (s.data / "tickets").string());
    }

    void theMenuItemAgainBringsTheSameDialogWithItsFolder() {
        Session s;
        FolderDialog* d = s.OpenSettings();
        Session::BrowseTo(d, "tickets");
        s.window->activateWindow();
        FolderDialog* again = s.OpenSettings();
        QCOMPARE(again, d);
        QCOMPARE(OpenSettingsDialogs(), 1);
        QCOMPARE(d->FolderLabel()->text(), Q(s.data / "tickets"));
        QTRY_VERIFY(d->isActiveWindow());

        t::Click(t::Button(d, "CancelButton"));
        FolderDialog* fresh = s.OpenSettings();
        QCOMPARE(OpenSettingsDialogs(), 1);
        QCOMPARE(fresh->FolderLabel()->text(), Q(s.data.Path()));
    }

    void theNewFolderServesTheNextLoadAtOnceAndIsSavedWhenTheMainWindowCloses() {
        Session s;
        const std::string before = s.state.DataFolder;
        FolderDialog* d = s.OpenSettings();
        Session::BrowseTo(d, "tickets");
        // Not yet adopted: the pattern dialog still searches the old folder.
        QCOMPARE(s.LoadPattern(), U("FILE NOT FOUND."));
        t::Click(t::Button(d, "OkButton"));
        QCOMPARE(s.state.DataFolder, (s.data / "tickets").string());

        QCOMPARE(s.LoadPattern(), QString());
        QCOMPARE(s.window->ReportBox()->Text(), t::WorkedExampleReport());
        QVERIFY(!fs::exists(s.ini));

        s.window->close();
        QCOMPARE(s.SavedPath(), (s.data / "tickets").string());
    }

    void theDialogOutlivesTheMainWindowAndAFolderConfirmedThenIsNotSaved() {
        Session s;
        QPointer<FolderDialog> d = s.OpenSettings();
        s.window->close();
        s.window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(d);
        QVERIFY(d->isVisible());
        QCOMPARE(s.SavedPath(), s.data.PathText());

        Session::BrowseTo(d, "tickets");
        t::Click(t::Button(d, "OkButton"));
        QCOMPARE(s.state.DataFolder, (s.data / "tickets").string());
        QCOMPARE(s.SavedPath(), s.data.PathText());
    }

    void unloadingTheDialogUnloadsTheBrowser() {
        Session s;
        QPointer<FolderDialog> d = s.OpenSettings();
        QPointer<FolderBrowser> browser;
        QVERIFY(t::Browse(*d, [&](FolderBrowser* p) {
            browser = p;
            QCOMPARE(d->Browser(), p);
            d->close();
            QVERIFY(!p->isVisible());
        }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!browser);
        QVERIFY(!d);
        QVERIFY(s.window->isVisible());
    }

    // Last: it runs the application's own event loop to its end.
    void theRunEndsWhenTheLastWindowHasClosed() {
        Session s;
        // As the program runs it: the main window deletes itself on closing.
        QPointer<MainWindow> main = s.window.release();
        main->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(main);
        main->FolderMenuChosen();
        QPointer<FolderDialog> d = FolderDialog::OpenFor(s.state);
        QVERIFY(d);

        bool runningWithoutMainWindow = false;
        QTimer::singleShot(0, [&] { main->close(); });
        QTimer::singleShot(300, [&] {
            runningWithoutMainWindow = !main && d && d->isVisible();
            if (d) d->CancelClicked();
        });
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        safety.start(10000);
        const int code = QApplication::exec();
        safety.stop();
        QCOMPARE(code, 0);
        QVERIFY(runningWithoutMainWindow);
        QCOMPARE(s.SavedPath(), s.data.PathText());
    }
};

QTEST_MAIN(FolderSettingsTest)
#include "folder_settings_test.moc"
