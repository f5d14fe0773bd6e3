#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>

#include "browser/browser_page.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/find_bar.h"
#include "browser/vantordlg.h"
#include "browser/zoom_store.h"
#include "launch/launch_state.h"
#include "platform/message_box.h"
#include "platform/qt_services.h"
#include "platform/ui_translations.h"
#include "tests/browser/window_pages.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/page_script.h"
#include "tests/support/refusing_port.h"
#include "tests/support/no_proxy.h"

namespace {

constexpr char kContract[] = "租赁合同";

// The view's find bar once it shows; it is made at its first use.
FindBar* ShownFindBar(const QWebEngineView* view)
{
    auto* bar = view->findChild<FindBar*>();
    return bar && bar->isVisible() ? bar : nullptr;
}

// Real key and mouse events through the X server, as a user's.
bool Xdotool(const QStringList& arguments)
{
    QProcess xdotool;
    // It reads the text to type in the locale's encoding.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    xdotool.setProcessEnvironment(environment);
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(30000) && xdotool.exitStatus() == QProcess::NormalExit &&
           xdotool.exitCode() == 0;
}

// xdotool's own wait never ends when the pointer is there already.
bool MoveMouse(const QPoint& global)
{
    return Xdotool({QStringLiteral("mousemove"), QString::number(global.x()),
                    QString::number(global.y())}) &&
           WaitFor([&] { return QCursor::pos() == global; });
}

QString ProgramOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Runs `answer` on the next visible window of type Dialog, from inside that
// window's own modal loop.
template <typename Dialog>
class DialogAnswer : public QObject {
public:
    explicit DialogAnswer(std::function<void(Dialog*)> answer) : m_answer(std::move(answer))
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswer::Look);
        m_timer.start(20);
    }

    bool answered() const { return m_answered; }

private:
    void Look()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            m_timer.stop();
            m_answered = true;
            m_answer(dialog);
            return;
        }
    }

    std::function<void(Dialog*)> m_answer;
    QTimer m_timer;
    bool m_answered = false;
};

QStringList ButtonTexts(const QWidget* dialog)
{
    QStringList texts;
    for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty())
            texts << button->text();
    }
    return texts;
}

QAbstractButton* AcceptButton(const QWidget* dialog)
{
    for (const QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                return button;
        }
    }
    return nullptr;
}

QAbstractButton* RejectButton(const QWidget* dialog)
{
    for (const QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::RejectRole)
                return button;
        }
    }
    return nullptr;
}

// The print preview's own print button.
QToolButton* PreviewPrintButton(const QPrintPreviewDialog* preview)
{
    const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QToolButton* button : preview->findChildren<QToolButton*>()) {
        if (button->defaultAction() && button->defaultAction()->text() == print)
            return button;
    }
    return nullptr;
}

// Chooses "Print to File (PDF)" and the file as a user does, then prints or
// cancels.
void AnswerPrintDialog(QPrintDialog* dialog, const QString& file, bool print)
{
    const QString toFile = QCoreApplication::translate("QPrintDialog", "Print to File (PDF)");
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    QVERIFY(printers);
    const int index = printers->findText(toFile);
    QVERIFY2(index >= 0, qPrintable(toFile));
    printers->setCurrentIndex(index);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    QVERIFY(name);
    name->setText(file);
    QAbstractButton* button = print ? AcceptButton(dialog) : RejectButton(dialog);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The context menu once it shows; null when none came.
QMenu* WaitForMenu()
{
    QMenu* menu = nullptr;
    WaitFor([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* candidate = qobject_cast<QMenu*>(widget);
            if (candidate && candidate->isVisible()) {
                menu = candidate;
                return true;
            }
        }
        return false;
    });
    return menu;
}

// The engine keeps zoom levels as logarithms: a factor comes back close to
// the one that was set, not equal.
bool ZoomIs(const QWebEngineView* view, double factor)
{
    return qAbs(view->zoomFactor() - factor) < 0.001;
}

bool HasLatinWord(const QString& text)
{
    // Qt's Chinese texts keep their mnemonic letter, as in "复制(&C)".
    QString bare = text;
    bare.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
    return bare.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

}

// The office staff's browser with the real embedded Chromium under a window
// manager, driven by real keys and clicks, under the C locale.
class OfficeBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void contextMenuIsChineseAndFitsAKiosk();
    void contextMenuOpensLinksInAPopup();
    void alertButtonIsChinese();
    void saveDialogIsChinese();
    void messageBoxKeepsItsTextsWithAChineseOk();

    void windowPrintOpensThePreviewAndCancelPrintsNothing();
    void ctrlPPrintsToAPdfFileWithTheText();
    void onePrintAtATime();

    void keysAct_data();
    void keysAct();
    void escEnterAndBackspaceGoToThePage_data();
    void escEnterAndBackspaceGoToThePage();
    void findBarClosesWithEsc();
    void zoomIsRememberedPerHostAcrossStarts();
    void reloadOnTheErrorPageAsksTheSiteAgain_data();
    void reloadOnTheErrorPageAsksTheSiteAgain();

private:
    bool OpenMainWindow(const QString& path);
    BrowserPage* MainBrowser() const { return MainPageOf(*m_window); }
    BrowserPage* OpenPopup(const QString& path, const QString& title)
    {
        return OpenPopupByScript(*m_window, path, title);
    }
    QWebEngineView* ViewOf(BrowserPage* page) const;
    bool Focus(BrowserPage* page);
    bool ClickAt(BrowserPage* page, const QString& element, int button);
    QUrl Url(const QString& path) const;

    CCefBrowserApp m_browserApp;
    HttpTestServer m_server;
    std::unique_ptr<QTemporaryDir> m_config;
    QTemporaryDir m_files;
    std::unique_ptr<CVantorDlg> m_window;
    std::atomic<int> m_countHits{0};
    std::mutex m_mutex;
    std::string m_cacheControl;
};

void OfficeBrowserTest::initTestCase()
{
    QVERIFY(m_files.isValid());
    ClearProxyEnvironment();
    InstallChineseTranslations(*qApp);
    auto& server = m_server.server();
    server.Get("/page", [](const httplib::Request& request, httplib::Response& response) {
        const std::string n = request.get_param_value("n");
        response.set_content("<html><head><title>页面 " + n + "</title></head><body>"
                             "<p>页面 " + n + "</p><a id=link href=/page?n=linked>链接</a>"
                             "<p>发票 invoice, invoice, invoice</p></body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/count", [this](const httplib::Request& request, httplib::Response& response) {
        const int hits = ++m_countHits;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_cacheControl = request.get_header_value("Cache-Control");
        }
        response.set_header("Cache-Control", "max-age=3600");
        response.set_content("<html><head><title>计数 " + std::to_string(hits) +
                                 "</title></head><body>计数</body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/keys", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>按键</title></head><body>"
                             "<input id=field><script>window.keys = [];"
                             "document.addEventListener('keydown', e => keys.push(e.key));"
                             "</script></body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/contract", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string("<html><head><title>合同</title><style>"
                                         "html, body { background: #2050c0; color: white; }"
                                         "</style></head><body><h1>") +
                                 kContract + "</h1><p>第一条 双方约定</p></body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/attachment", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"report.bin\"");
        response.set_content("bytes", "application/octet-stream");
    });
    m_server.start();
    m_browserApp.Initialize();
}

void OfficeBrowserTest::cleanupTestCase()
{
    m_server.stop();
}

void OfficeBrowserTest::init()
{
    LaunchState = LaunchStateRecord();
    m_countHits = 0;
    // A configuration folder of each test's own: no zoom level carries over.
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
}

void OfficeBrowserTest::cleanup()
{
    m_window.reset();
    m_config.reset();
}

QUrl OfficeBrowserTest::Url(const QString& path) const
{
    return QUrl(QString::fromStdString(m_server.baseUrl()) + path);
}

bool OfficeBrowserTest::OpenMainWindow(const QString& path)
{
    const QUrl url = path.startsWith(QLatin1String("http")) ? QUrl(path) : Url(path);
    LaunchState.StartUrl = url.toString().toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
    m_window->show();
    if (!WaitUntilMaximised(*m_window) || !MainBrowser())
        return false;
    BrowserPage* page = MainBrowser();
    return WaitFor([&] {
        return page->url() == url &&
               RunScript(page, QStringLiteral("document.readyState")) == QStringLiteral("complete");
    });
}

QWebEngineView* OfficeBrowserTest::ViewOf(BrowserPage* page) const
{
    return QWebEngineView::forPage(page);
}

// The page's window active and the keyboard in its view.
bool OfficeBrowserTest::Focus(BrowserPage* page)
{
    QWebEngineView* view = ViewOf(page);
    QWidget* window = view->window();
    window->raise();
    window->activateWindow();
    Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
             QString::number(window->winId())});
    if (!WaitFor([&] { return window->isActiveWindow(); }))
        return false;
    view->setFocus();
    return WaitFor([&] { return view->focusProxy() && view->focusProxy()->hasFocus(); });
}

// Moves the mouse onto an element of the page and clicks it with `button`.
bool OfficeBrowserTest::ClickAt(BrowserPage* page, const QString& element, int button)
{
    const QVariantList box =
        RunScript(page, QStringLiteral("(() => { const r = document.querySelector('%1')"
                                       ".getBoundingClientRect();"
                                       " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                            .arg(element))
            .toList();
    if (box.size() != 2)
        return false;
    QWebEngineView* view = ViewOf(page);
    const double zoom = view->zoomFactor();
    const QPoint global =
        view->mapToGlobal(QPoint(int(box[0].toDouble() * zoom), int(box[1].toDouble() * zoom)));
    return MoveMouse(global) && Xdotool({QStringLiteral("click"), QString::number(button)});
}

void OfficeBrowserTest::contextMenuIsChineseAndFitsAKiosk()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    BrowserPage* page = MainBrowser();
    page->load(Url(QStringLiteral("/page?n=2")));
    QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("页面 2"), 20000);
    QVERIFY(Focus(page));

    QVERIFY(ClickAt(page, QStringLiteral("#link"), 3));
    QMenu* menu = WaitForMenu();
    QVERIFY(menu);
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    for (const QString& text : texts)
        QVERIFY2(!HasLatinWord(text), qPrintable(texts.join(QLatin1Char('|'))));
    for (const QWebEnginePage::WebAction kept :
         {QWebEnginePage::Back, QWebEnginePage::Forward, QWebEnginePage::CopyLinkToClipboard,
          QWebEnginePage::DownloadLinkToDisk}) {
        QVERIFY2(texts.contains(page->action(kept)->text()), qPrintable(texts.join('|')));
    }
    QVERIFY(texts.contains(QStringLiteral("打印...")));
    QVERIFY(texts.contains(QStringLiteral("复制链接地址")));
    QVERIFY(menu->findChild<QAction*>(QStringLiteral("reload")));
    for (const QWebEnginePage::WebAction dropped :
         {QWebEnginePage::ViewSource, QWebEnginePage::InspectElement, QWebEnginePage::SavePage})
        QVERIFY(!menu->actions().contains(page->action(dropped)));
    menu->close();
}

void OfficeBrowserTest::contextMenuOpensLinksInAPopup()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    BrowserPage* page = MainBrowser();
    QVERIFY(Focus(page));
    QVERIFY(ClickAt(page, QStringLiteral("#link"), 3));
    QMenu* menu = WaitForMenu();
    QVERIFY(menu);
    QAction* newWindow = page->action(QWebEnginePage::OpenLinkInNewWindow);
    QVERIFY(menu->actions().contains(newWindow));
    // Chosen with the keyboard, as from the open menu.
    menu->setActiveAction(newWindow);
    QTest::keyClick(menu, Qt::Key_Return);

    const auto& browsers = m_window->BrowserClient().Browsers();
    QVERIFY(WaitFor([&] { return browsers.size() == 2; }));
    BrowserPage* popup = browsers.back();
    QVERIFY(popup->IsPopup());
    QTRY_COMPARE_WITH_TIMEOUT(popup->title(), QStringLiteral("页面 linked"), 20000);
    QVERIFY(WaitUntilMaximised(*popup->HostWindow()));
    QCOMPARE(page->url(), Url(QStringLiteral("/page?n=1")));
}

void OfficeBrowserTest::alertButtonIsChinese()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    QStringList buttons;
    DialogAnswer<QMessageBox> answer([&](QMessageBox* box) {
        buttons = ButtonTexts(box);
        box->accept();
    });
    MainBrowser()->runJavaScript(QStringLiteral("alert('请注意')"));
    QVERIFY(WaitFor([&] { return answer.answered(); }));
    QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
}

void OfficeBrowserTest::saveDialogIsChinese()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    QString title;
    QStringList buttons;
    QString nameLabel;
    DialogAnswer<QFileDialog> answer([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        buttons = ButtonTexts(dialog);
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel")))
            nameLabel = label->text();
        dialog->reject();
    });
    MainBrowser()->runJavaScript(QStringLiteral("location.href = '/attachment'"));
    QVERIFY(WaitFor([&] { return answer.answered(); }));
    QCOMPARE(title, QStringLiteral("另存为"));
    QVERIFY2(buttons.contains(QStringLiteral("保存(&S)")) || buttons.contains(QStringLiteral("保存")),
             qPrintable(buttons.join('|')));
    QVERIFY2(buttons.contains(QStringLiteral("取消")), qPrintable(buttons.join('|')));
    QVERIFY2(!nameLabel.isEmpty() && !HasLatinWord(nameLabel), qPrintable(nameLabel));
}

void OfficeBrowserTest::messageBoxKeepsItsTextsWithAChineseOk()
{
    InstallMessageBoxWindow();
    QString title;
    QString text;
    QStringList buttons;
    DialogAnswer<QMessageBox> answer([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        buttons = ButtonTexts(box);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    ShowMessageBox(u"下载成功");
    SetMessageBoxSink(nullptr);
    QVERIFY(answer.answered());
    QCOMPARE(text, QStringLiteral("下载成功"));
    QCOMPARE(title, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
}

void OfficeBrowserTest::windowPrintOpensThePreviewAndCancelPrintsNothing()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/contract")));
    const QString file = m_files.filePath(QStringLiteral("cancelled.pdf"));
    bool previewWasOpen = false;
    bool printDialogCancelled = false;
    DialogAnswer<QPrintDialog> printDialog([&](QPrintDialog* dialog) {
        AnswerPrintDialog(dialog, file, false);
        printDialogCancelled = true;
    });
    DialogAnswer<QPrintPreviewDialog> preview([&](QPrintPreviewDialog* dialog) {
        previewWasOpen = true;
        QToolButton* print = PreviewPrintButton(dialog);
        QVERIFY(print);
        QTest::mouseClick(print, Qt::LeftButton);
        // Cancelling the print dialog leaves the preview open.
        QVERIFY(dialog->isVisible());
        dialog->reject();
    });
    MainBrowser()->runJavaScript(QStringLiteral("window.print()"));
    QVERIFY(WaitFor([&] { return preview.answered(); }));
    QVERIFY(previewWasOpen);
    QVERIFY(printDialogCancelled);
    QVERIFY(!QFile::exists(file));
}

void OfficeBrowserTest::ctrlPPrintsToAPdfFileWithTheText()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/contract")));
    BrowserPage* page = MainBrowser();
    QVERIFY(Focus(page));
    const QString file = m_files.filePath(QStringLiteral("合同.pdf"));
    DialogAnswer<QPrintDialog> printDialog(
        [&](QPrintDialog* dialog) { AnswerPrintDialog(dialog, file, true); });
    bool previewClosed = false;
    DialogAnswer<QPrintPreviewDialog> preview([&](QPrintPreviewDialog* dialog) {
        QToolButton* print = PreviewPrintButton(dialog);
        QVERIFY(print);
        QTest::mouseClick(print, Qt::LeftButton);
        previewClosed = !dialog->isVisible();
    });
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+p")}));
    QVERIFY(WaitFor([&] { return preview.answered(); }));
    QVERIFY(printDialog.answered());
    QVERIFY(previewClosed);
    QVERIFY(WaitFor([&] { return QFileInfo(file).size() > 0; }));

    const QString text =
        ProgramOutput(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    QVERIFY2(text.contains(QString::fromUtf8(kContract)), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("第一条 双方约定")));
    const QString info = ProgramOutput(QStringLiteral("pdfinfo"), {file});
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));

    // The page's background is printed too.
    const QString picture = m_files.filePath(QStringLiteral("page"));
    ProgramOutput(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"),
                                               QStringLiteral("-png"),
                                               QStringLiteral("-singlefile"), file, picture});
    const QImage image(picture + QStringLiteral(".png"));
    QVERIFY(!image.isNull());
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    QVERIFY2(centre.blue() > 150 && centre.red() < 80, qPrintable(centre.name()));
}

void OfficeBrowserTest::onePrintAtATime()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/contract")));
    int previews = 0;
    DialogAnswer<QPrintPreviewDialog> preview([&](QPrintPreviewDialog* dialog) {
        // A second request while this preview is open opens nothing.
        MainBrowser()->runJavaScript(QStringLiteral("window.print()"));
        QTest::qWait(500);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QPrintPreviewDialog*>(widget) && widget->isVisible())
                ++previews;
        }
        dialog->reject();
    });
    MainBrowser()->runJavaScript(QStringLiteral("window.print()"));
    QVERIFY(WaitFor([&] { return preview.answered(); }));
    QCOMPARE(previews, 1);
}

enum class Effect { Reload, Back, Forward, Zoom, Find, FullScreen };
enum Windows { Main, Popup, Both };

void OfficeBrowserTest::keysAct_data()
{
    QTest::addColumn<bool>("inPopup");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("effect");
    QTest::addColumn<QString>("expected");

    const QString key = QStringLiteral("key");
    struct Row {
        const char* name;
        QStringList input;
        Effect effect;
        QString expected;
        Windows windows;
    };
    // The keys in both windows; their variants in one.
    const Row rows[] = {
        {"F5 reloads", {key, "F5"}, Effect::Reload, "max-age=0", Both},
        {"Ctrl+R reloads", {key, "ctrl+r"}, Effect::Reload, "max-age=0", Popup},
        {"Ctrl+F5 bypasses the cache", {key, "ctrl+F5"}, Effect::Reload, "no-cache", Both},
        {"Ctrl+Shift+R bypasses the cache", {key, "ctrl+shift+r"}, Effect::Reload, "no-cache",
         Main},
        {"Alt+Left goes back", {key, "alt+Left"}, Effect::Back, "1", Both},
        {"Alt+Right goes forward", {key, "alt+Right"}, Effect::Forward, "2", Both},
        // From 150 %.
        {"Ctrl+plus zooms in", {key, "ctrl+plus"}, Effect::Zoom, "1.75", Both},
        {"Ctrl+= zooms in", {key, "ctrl+equal"}, Effect::Zoom, "1.75", Main},
        {"keypad Ctrl+plus zooms in", {key, "ctrl+KP_Add"}, Effect::Zoom, "1.75", Popup},
        {"Ctrl+minus zooms out", {key, "ctrl+minus"}, Effect::Zoom, "1.25", Both},
        {"Ctrl+0 resets", {key, "ctrl+0"}, Effect::Zoom, "1", Both},
        {"Ctrl+wheel zooms in", {"keydown", "ctrl", "click", "4", "keyup", "ctrl"}, Effect::Zoom,
         "1.75", Main},
        {"Ctrl+wheel zooms out", {"keydown", "ctrl", "click", "5", "keyup", "ctrl"}, Effect::Zoom,
         "1.25", Popup},
        {"Ctrl+F finds", {key, "ctrl+f"}, Effect::Find, "第 1 项，共 3 项", Both},
        {"F11 goes full screen", {key, "F11"}, Effect::FullScreen, "true", Both},
        {"F11 twice comes back", {key, "F11", "F11"}, Effect::FullScreen, "false", Main},
    };
    for (const Row& row : rows) {
        for (const bool inPopup : {false, true}) {
            if (row.windows != Both && (row.windows == Popup) != inPopup)
                continue;
            const QByteArray name =
                QByteArray(row.name) + (inPopup ? " in a pop-up" : " in the main window");
            QTest::newRow(name.constData()) << inPopup << row.input << int(row.effect)
                                            << row.expected;
        }
    }
}

void OfficeBrowserTest::keysAct()
{
    QFETCH(bool, inPopup);
    QFETCH(QStringList, input);
    QFETCH(int, effect);
    QFETCH(QString, expected);

    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=main")));
    BrowserPage* page = MainBrowser();
    if (inPopup) {
        page = OpenPopup(QStringLiteral("/page?n=1"), QStringLiteral("页面 1"));
        QVERIFY(page);
    } else {
        page->load(Url(QStringLiteral("/page?n=1")));
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("页面 1"), 20000);
    }
    QWebEngineView* view = ViewOf(page);
    QWidget* window = view->window();

    switch (Effect(effect)) {
    case Effect::Reload:
        // An address of its own: the engine's cache has not seen it.
        page->load(Url(QStringLiteral("/count?row=%1").arg(QString::fromLatin1(QTest::currentDataTag()))));
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("计数 1"), 20000);
        break;
    case Effect::Back:
    case Effect::Forward:
        page->load(Url(QStringLiteral("/page?n=2")));
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("页面 2"), 20000);
        if (Effect(effect) == Effect::Forward) {
            page->triggerAction(QWebEnginePage::Back);
            QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("页面 1"), 20000);
        }
        break;
    case Effect::Zoom:
        view->setZoomFactor(1.5);
        QVERIFY(WaitFor([&] { return ZoomIs(view, 1.5); }));
        break;
    default:
        break;
    }

    QVERIFY(Focus(page));
    // The wheel turns over the page.
    const QPoint centre = view->mapToGlobal(view->rect().center());
    QVERIFY(MoveMouse(centre));
    QVERIFY(Xdotool(input));

    switch (Effect(effect)) {
    case Effect::Reload: {
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("计数 2"), 20000);
        std::lock_guard<std::mutex> lock(m_mutex);
        QCOMPARE(QString::fromStdString(m_cacheControl), expected);
        break;
    }
    case Effect::Back:
    case Effect::Forward:
        QTRY_COMPARE_WITH_TIMEOUT(page->url(), Url(QStringLiteral("/page?n=") + expected), 20000);
        break;
    case Effect::Zoom: {
        QVERIFY(WaitFor([&] { return ZoomIs(view, expected.toDouble()); }));
        auto* indicator = view->findChild<QLabel*>(QStringLiteral("zoomIndicator"));
        QVERIFY(indicator && indicator->isVisible());
        QCOMPARE(indicator->text(),
                 QStringLiteral("缩放：%1%").arg(qRound(expected.toDouble() * 100)));
        // It goes away by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!indicator->isVisible(), 20000);
        QCOMPARE(StoredZoom(QStringLiteral("127.0.0.1")), expected.toDouble());
        break;
    }
    case Effect::Find: {
        QVERIFY(WaitFor([&] { return ShownFindBar(view) != nullptr; }));
        FindBar* findBar = ShownFindBar(view);
        QVERIFY(Xdotool({QStringLiteral("type"), QStringLiteral("invoice")}));
        QTRY_COMPARE_WITH_TIMEOUT(findBar->MatchText(), expected, 20000);
        // At the bottom of the window, across its width.
        QCOMPARE(findBar->mapTo(window, QPoint(0, findBar->height())).y(), window->height());
        QCOMPARE(findBar->width(), view->width());
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
        QTRY_COMPARE_WITH_TIMEOUT(findBar->MatchText(), QStringLiteral("第 2 项，共 3 项"), 20000);
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("shift+Return")}));
        QTRY_COMPARE_WITH_TIMEOUT(findBar->MatchText(), expected, 20000);
        break;
    }
    case Effect::FullScreen:
        QTRY_COMPARE_WITH_TIMEOUT(window->isFullScreen(), expected == QLatin1String("true"),
                                  20000);
        break;
    }
}

void OfficeBrowserTest::escEnterAndBackspaceGoToThePage_data()
{
    QTest::addColumn<bool>("inPopup");
    QTest::newRow("main window") << false;
    QTest::newRow("pop-up") << true;
}

void OfficeBrowserTest::escEnterAndBackspaceGoToThePage()
{
    QFETCH(bool, inPopup);
    QVERIFY(OpenMainWindow(inPopup ? QStringLiteral("/page?n=main") : QStringLiteral("/keys")));
    BrowserPage* page = inPopup ? OpenPopup(QStringLiteral("/keys"), QStringLiteral("按键"))
                                : MainBrowser();
    QVERIFY(page);
    QVERIFY(Focus(page));
    // Until the page takes input: a click before its first frame is lost.
    QVERIFY(WaitFor([&] {
        return ClickAt(page, QStringLiteral("#field"), 1) &&
               RunScript(page, QStringLiteral("document.activeElement.id")) ==
                   QStringLiteral("field");
    }));
    QVERIFY(Xdotool({QStringLiteral("type"), QStringLiteral("ab")}));
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Escape"), QStringLiteral("Return"),
                     QStringLiteral("BackSpace")}));
    const QStringList expected{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("Escape"),
                               QStringLiteral("Enter"), QStringLiteral("Backspace")};
    QString keys;
    QVERIFY2(WaitFor([&] {
                 keys = RunScript(page, QStringLiteral("keys.join(',')")).toString();
                 return keys == expected.join(QLatin1Char(','));
             }),
             qPrintable(keys));
    QCOMPARE(RunScript(page, QStringLiteral("document.getElementById('field').value")).toString(),
             QStringLiteral("a"));
    QCOMPARE(page->url(), Url(QStringLiteral("/keys")));
    QVERIFY(m_window->isVisible());
    QVERIFY(page->HostWindow()->isVisible());
}

void OfficeBrowserTest::findBarClosesWithEsc()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    BrowserPage* page = MainBrowser();
    QWebEngineView* view = ViewOf(page);
    QVERIFY(Focus(page));
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+f")}));
    QVERIFY(WaitFor([&] { return ShownFindBar(view) != nullptr; }));
    FindBar* findBar = ShownFindBar(view);
    QVERIFY(Xdotool({QStringLiteral("type"), QStringLiteral("nowhere")}));
    QTRY_COMPARE_WITH_TIMEOUT(findBar->MatchText(), QStringLiteral("无结果"), 20000);
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
    QTRY_VERIFY_WITH_TIMEOUT(!findBar->isVisible(), 20000);
    // The window stays, and the keyboard is back in the page.
    QVERIFY(m_window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(view->focusProxy()->hasFocus(), 20000);
}

void OfficeBrowserTest::zoomIsRememberedPerHostAcrossStarts()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    QVERIFY(Focus(MainBrowser()));
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+plus"),
                     QStringLiteral("ctrl+plus")}));
    QVERIFY(WaitFor([&] { return ZoomIs(ViewOf(MainBrowser()), 1.25); }));
    m_window.reset();

    // In the user's configuration folder, not in the working folder.
    const QString settings = m_config->filePath(QStringLiteral("vantor/zoom-levels"));
    QCOMPARE(ZoomSettingsPath(), settings);
    QFile file(settings);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("127.0.0.1 1.25\n"));
    file.close();

    QVERIFY(OpenMainWindow(QStringLiteral("/page?n=1")));
    QVERIFY(WaitFor([&] { return ZoomIs(ViewOf(MainBrowser()), 1.25); }));
    // The same server under another host name starts at 100 %.
    const QUrl other(QStringLiteral("http://localhost:%1/page?n=2").arg(m_server.port()));
    MainBrowser()->load(other);
    QTRY_COMPARE_WITH_TIMEOUT(MainBrowser()->title(), QStringLiteral("页面 2"), 20000);
    QVERIFY(WaitFor([&] { return ZoomIs(ViewOf(MainBrowser()), 1.0); }));
    MainBrowser()->load(Url(QStringLiteral("/page?n=3")));
    QTRY_COMPARE_WITH_TIMEOUT(MainBrowser()->title(), QStringLiteral("页面 3"), 20000);
    QVERIFY(WaitFor([&] { return ZoomIs(ViewOf(MainBrowser()), 1.25); }));
}

void OfficeBrowserTest::reloadOnTheErrorPageAsksTheSiteAgain_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("F5") << false;
    QTest::newRow("context menu") << true;
}

void OfficeBrowserTest::reloadOnTheErrorPageAsksTheSiteAgain()
{
    QFETCH(bool, fromMenu);
    auto refusing = std::make_unique<RefusingPort>();
    const int port = refusing->port();
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/back").arg(port));
    QVERIFY(OpenMainWindow(url.toString()));
    BrowserPage* page = MainBrowser();
    QVERIFY(WaitFor([&] { return PageHtml(page).contains(QLatin1String("Failed to load URL")); }));

    refusing.reset();  // the server takes the port over
    HttpTestServer site("127.0.0.1", port);
    site.server().Get("/back", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>恢复</title></head><body>恢复</body></html>",
                             "text/html; charset=utf-8");
    });
    site.start();

    QVERIFY(Focus(page));
    if (fromMenu) {
        QVERIFY(ClickAt(page, QStringLiteral("h2"), 3));
        QMenu* menu = WaitForMenu();
        QVERIFY(menu);
        auto* reload = menu->findChild<QAction*>(QStringLiteral("reload"));
        QVERIFY(reload);
        QCOMPARE(reload->text(), page->action(QWebEnginePage::Reload)->text());
        menu->setActiveAction(reload);
        QTest::keyClick(menu, Qt::Key_Return);
    } else {
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("F5")}));
    }
    QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("恢复"), 20000);
    QCOMPARE(page->url(), url);
    QVERIFY(!PageHtml(page).contains(QLatin1String("Failed to load URL")));
    site.stop();
}

QTEST_MAIN(OfficeBrowserTest)
#include "office_browser_test.moc"
