#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "config/dialog_info.h"

// The real site-code dialog, run modally and driven from the keyboard and
// the mouse as a user would.
class DialogInfoTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheTemplate();
    void okHasTheFocusAndTabGoesOkCancelEdit();
    void endsWithTheCodeAsTyped_data();
    void endsWithTheCodeAsTyped();

private:
    // Types as a keyboard would; characters beyond ASCII come as the text of
    // a key event, as an input method delivers them.
    static void Type(QWidget* widget, const QString& text);
    // Runs the dialog modally; `drive` acts on it once it is shown.
    static int RunDriven(CDIalog_info& dialog, const std::function<void()>& drive);
};

void DialogInfoTest::Type(QWidget* widget, const QString& text)
{
    for (const QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(widget, character.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
        }
    }
}

int DialogInfoTest::RunDriven(CDIalog_info& dialog, const std::function<void()>& drive)
{
    QTimer::singleShot(0, &dialog, [&dialog, drive] {
        if (QTest::qWaitForWindowExposed(&dialog))
            drive();
        else
            dialog.done(-1);
    });
    return dialog.exec();
}

void DialogInfoTest::showsTheTemplate()
{
    CDIalog_info dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("栖澜"));
    QVERIFY(!dialog.windowIcon().isNull());
    // Large and small, among the desktop's other sizes.
    QVERIFY(dialog.windowIcon().availableSizes().contains(QSize(32, 32)));
    QVERIFY(dialog.windowIcon().availableSizes().contains(QSize(16, 16)));
    QCOMPARE(dialog.OkButton()->text(), QStringLiteral("确定"));
    QCOMPARE(dialog.CancelButton()->text(), QStringLiteral("取消"));
    QVERIFY(dialog.OkButton()->isDefault());
    QCOMPARE(dialog.CodeEdit()->objectName(), QStringLiteral("IDC_EDIT_CODE"));
    QCOMPARE(dialog.CodeEdit()->text(), QString());
    QCOMPARE(dialog.CodeEdit()->maxLength(), 32767);  // Qt's own bound, far above any code
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front()->text(), QStringLiteral("请输入序列号:"));
    QVERIFY(labels.front()->width() >= labels.front()->sizeHint().width());

    // The template's layout: the edit box across the middle, where a user's
    // click lands, the buttons side by side at the lower right; fixed size.
    QVERIFY(dialog.CodeEdit()->geometry().contains(dialog.width() / 2, dialog.height() * 90 / 182));
    QVERIFY(dialog.OkButton()->geometry().right() < dialog.CancelButton()->geometry().left());
    QVERIFY(dialog.CancelButton()->geometry().bottom() < dialog.height());
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
}

void DialogInfoTest::okHasTheFocusAndTabGoesOkCancelEdit()
{
    CDIalog_info dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QApplication::setActiveWindow(&dialog);

    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.OkButton()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.CancelButton()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.CodeEdit()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.OkButton()));
}

enum class Ending { EnterInEdit, ClickOk, Escape, ClickCancel, CloseBox, EnterOnCancel };

void DialogInfoTest::endsWithTheCodeAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("ending");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("code");

    const QString blanks = QStringLiteral("  office-7 ");
    const QString mixed = QStringLiteral("北京-07 a&b=c");
    QTest::newRow("enter in the edit box") << blanks << int(Ending::EnterInEdit)
                                           << int(QDialog::Accepted) << blanks;
    QTest::newRow("enter, Chinese and ASCII") << mixed << int(Ending::EnterInEdit)
                                              << int(QDialog::Accepted) << mixed;
    QTest::newRow("click OK") << blanks << int(Ending::ClickOk) << int(QDialog::Accepted) << blanks;
    QTest::newRow("OK with nothing typed") << QString() << int(Ending::ClickOk)
                                           << int(QDialog::Accepted) << QString();
    QTest::newRow("escape") << blanks << int(Ending::Escape) << int(QDialog::Rejected) << QString();
    QTest::newRow("click cancel") << blanks << int(Ending::ClickCancel) << int(QDialog::Rejected)
                                  << QString();
    QTest::newRow("close box") << blanks << int(Ending::CloseBox) << int(QDialog::Rejected)
                               << QString();
    QTest::newRow("enter on cancel") << blanks << int(Ending::EnterOnCancel)
                                     << int(QDialog::Rejected) << QString();
}

void DialogInfoTest::endsWithTheCodeAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(int, ending);
    QFETCH(int, result);
    QFETCH(QString, code);

    CDIalog_info dialog;
    const int outcome = RunDriven(dialog, [&] {
        QLineEdit* edit = dialog.CodeEdit();
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->setFocus();
        Type(edit, typed);
        switch (Ending(ending)) {
        case Ending::EnterInEdit: QTest::keyClick(edit, Qt::Key_Return); break;
        case Ending::ClickOk: QTest::mouseClick(dialog.OkButton(), Qt::LeftButton); break;
        case Ending::Escape: QTest::keyClick(edit, Qt::Key_Escape); break;
        case Ending::ClickCancel: QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton); break;
        case Ending::CloseBox: dialog.close(); break;
        case Ending::EnterOnCancel:
            dialog.CancelButton()->setFocus();
            QTest::keyClick(dialog.CancelButton(), Qt::Key_Return);
            break;
        }
    });

    QCOMPARE(outcome, result);
    QCOMPARE(QString::fromStdU16String(dialog.m_strCode), code);
    QCOMPARE(dialog.CodeEdit()->text(), typed);
}

QTEST_MAIN(DialogInfoTest)
#include "dialog_info_test.moc"
