// Message boxes, the error box for exceptions that escape a handler, and
// modal dialogs that end themselves.
#include "forms/Application.h"
#include "forms/MessageSeam.h"
#include "forms/Messages.h"
#include "forms/Modal.h"
#include "forms/ScreenPlace.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestMain.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using testsupport::WhenModal;

namespace {

const QString kYes = QStringLiteral("はい(&Y)");
const QString kNo = QStringLiteral("いいえ(&N)");
const QString kCancel = QStringLiteral("ｷｬﾝｾﾙ");

enum class BoxUser { Enter, Escape, CloseBox, ClickNo, AltN };
enum class Thrown { FormsError, StdError };

void answerBox(QWidget* box, BoxUser action)
{
    switch (action) {
    case BoxUser::Enter: return QTest::keyClick(box, Qt::Key_Return);
    case BoxUser::Escape: return QTest::keyClick(box, Qt::Key_Escape);
    case BoxUser::CloseBox: box->close(); return;
    case BoxUser::ClickNo: return testsupport::ClickButton(box, kNo);
    case BoxUser::AltN: return QTest::keyClick(box, Qt::Key_N, Qt::AltModifier);
    }
}

QStringList buttonTexts(const QMessageBox* box)
{
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts.append(button->text());
    texts.sort();
    return texts;
}

[[noreturn]] void throwError(Thrown kind)
{
    if (kind == Thrown::FormsError)
        throw forms::Error(QStringLiteral("不正なﾌｧｲﾙ名です"));
    throw std::runtime_error("ディスクが一杯です");
}

// A control whose own event handler fails.
class FailingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw forms::Error(QStringLiteral("読み込みできません")); }
};

class Handlers : public QObject {
public:
    int saved = 0;
    void save() { ++saved; throw forms::Error(QStringLiteral("保存できません")); }
};

// A dialog that ends itself from its button's handler.
class EndingDialog : public QDialog {
public:
    bool destroyedInHandler = false;
    QPushButton* button = new QPushButton(QStringLiteral("OK"), this);

    EndingDialog()
    {
        forms::OnEvent(button, &QPushButton::clicked, this, [this] { done(forms::kModalDone); });
    }
};

} // namespace

class FrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void seamRecordsWhichBoxCameAndAnswers();
    void confirmWithoutScriptedAnswerFailsTheSeam();
    void realConfirmBox_data();
    void realConfirmBox();
    void exceptionInConnectedHandlerReachesErrorBox_data();
    void exceptionInConnectedHandlerReachesErrorBox();
    void exceptionInEventHandlerReachesErrorBox();
    void runModalDeletesTheDialogAfterItsLoop_data();
    void runModalDeletesTheDialogAfterItsLoop();
    void windowIsPlacedOnAScreen_data();
    void windowIsPlacedOnAScreen();
    void shownWindowStaysOnTheScreen();
};

void FrameworkTest::seamRecordsWhichBoxCameAndAnswers()
{
    forms::MessageSeam seam;
    seam.queueAnswer(forms::Answer::No);
    seam.queueAnswer(forms::Answer::Yes);
    QStringList seenAtShow;
    seam.setOnShow([&](const forms::ShownBox& box) { seenAtShow.append(box.text); });

    forms::ShowMessage(nullptr, QStringLiteral("保存しました！"));
    QCOMPARE(forms::Confirm(nullptr, QStringLiteral("変更を保存しますか")), forms::Answer::No);
    forms::ShowErrorBox(nullptr, QStringLiteral("不正なﾌｧｲﾙ名です"));
    QCOMPARE(forms::Confirm(nullptr, QStringLiteral("変更を保存しますか")), forms::Answer::Yes);

    QCOMPARE(seam.shown().size(), 4);
    const forms::ShownBox& plain = seam.shown()[0];
    QCOMPARE(plain.kind, forms::BoxKind::Message);
    QCOMPARE(plain.caption, QStringLiteral("Kiboru"));
    QCOMPARE(plain.buttons, QStringList{QStringLiteral("OK")});
    const forms::ShownBox& question = seam.shown()[1];
    QCOMPARE(question.kind, forms::BoxKind::Confirm);
    QCOMPARE(question.caption, QStringLiteral("確認"));
    QCOMPARE(question.buttons, (QStringList{kYes, kNo, kCancel}));
    QCOMPARE(seam.shown()[2].kind, forms::BoxKind::Error);
    QCOMPARE(seam.shown()[2].caption, QStringLiteral("Kiboru"));
    QCOMPARE(seenAtShow, seam.shownTexts());
    QCOMPARE(seam.pendingAnswers(), 0);
    QVERIFY(!seam.failed());
    QVERIFY(!QApplication::activeModalWidget());
}

void FrameworkTest::confirmWithoutScriptedAnswerFailsTheSeam()
{
    forms::MessageSeam seam;
    QCOMPARE(forms::Confirm(nullptr, QStringLiteral("変更を保存しますか")), forms::Answer::Cancel);
    QVERIFY(seam.failed());
    QCOMPARE(seam.shownTexts(), QStringList{QStringLiteral("変更を保存しますか")});
    {
        forms::MessageSeam inner;   // an inner seam takes over while it lives
        forms::ShowMessage(nullptr, QStringLiteral("内側"));
        QCOMPARE(inner.shown().size(), 1);
    }
    forms::ShowMessage(nullptr, QStringLiteral("外側"));
    QCOMPARE(seam.shownTexts(), (QStringList{QStringLiteral("変更を保存しますか"), QStringLiteral("外側")}));
}

void FrameworkTest::realConfirmBox_data()
{
    QTest::addColumn<BoxUser>("action");
    QTest::addColumn<forms::Answer>("answer");
    QTest::newRow("Enter takes the default") << BoxUser::Enter << forms::Answer::Yes;
    QTest::newRow("Esc") << BoxUser::Escape << forms::Answer::Cancel;
    QTest::newRow("close box") << BoxUser::CloseBox << forms::Answer::Cancel;
    QTest::newRow("no") << BoxUser::ClickNo << forms::Answer::No;
    QTest::newRow("Alt+N") << BoxUser::AltN << forms::Answer::No;
}

void FrameworkTest::realConfirmBox()
{
    QFETCH(BoxUser, action);
    QFETCH(forms::Answer, answer);
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QString title, text, defaultButton, escapeButton;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = buttonTexts(box);
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            escapeButton = box->escapeButton() ? box->escapeButton()->text() : QString();
        }
        answerBox(modal, action);
    });

    QCOMPARE(forms::Confirm(&window, QStringLiteral("変更を保存しますか")), answer);
    QCOMPARE(title, QStringLiteral("確認"));
    QCOMPARE(text, QStringLiteral("変更を保存しますか"));
    QCOMPARE(icon, QMessageBox::Question);
    QStringList expected{kYes, kNo, kCancel};
    expected.sort();
    QCOMPARE(buttons, expected);
    QCOMPARE(defaultButton, kYes);
    QCOMPARE(escapeButton, kCancel);
}

void FrameworkTest::exceptionInConnectedHandlerReachesErrorBox_data()
{
    QTest::addColumn<Thrown>("thrown");
    QTest::addColumn<QString>("text");
    QTest::newRow("forms::Error") << Thrown::FormsError << QStringLiteral("不正なﾌｧｲﾙ名です");
    QTest::newRow("std::runtime_error in UTF-8") << Thrown::StdError << QStringLiteral("ディスクが一杯です");
}

void FrameworkTest::exceptionInConnectedHandlerReachesErrorBox()
{
    QFETCH(Thrown, thrown);
    QFETCH(QString, text);
    forms::MessageSeam seam;
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("保　存"), &window);
    int laterHandlerRuns = 0;
    forms::OnEvent(button, &QPushButton::clicked, &window, [thrown] { throwError(thrown); });
    forms::OnEvent(button, &QPushButton::clicked, &window, [&](bool) { ++laterHandlerRuns; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);   // the program went on

    QCOMPARE(seam.shownTexts(), (QStringList{text, text}));
    QCOMPARE(seam.shown().first().kind, forms::BoxKind::Error);
    QCOMPARE(seam.shown().first().caption, QStringLiteral("Kiboru"));
    QCOMPARE(laterHandlerRuns, 2);

    Handlers handlers;   // a member function as the handler
    forms::OnEvent(button, &QPushButton::clicked, &handlers, &Handlers::save);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(handlers.saved, 1);
    QCOMPARE(seam.shownTexts().last(), QStringLiteral("保存できません"));
}

void FrameworkTest::exceptionInEventHandlerReachesErrorBox()
{
    forms::MessageSeam seam;
    FailingWidget widget;
    widget.resize(100, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(seam.shownTexts(), QStringList{QStringLiteral("読み込みできません")});
    QCOMPARE(seam.shown().first().kind, forms::BoxKind::Error);

    // Thrown from the event loop itself; the loop goes on afterwards.
    bool ranAfter = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("タイマー"); });
    QTimer::singleShot(20, [&] { ranAfter = true; });
    QTRY_VERIFY(ranAfter);
    QCOMPARE(seam.shownTexts(), (QStringList{QStringLiteral("読み込みできません"), QStringLiteral("タイマー")}));
}

void FrameworkTest::runModalDeletesTheDialogAfterItsLoop_data()
{
    QTest::addColumn<bool>("deleteOnClose");
    QTest::newRow("plain dialog") << false;
    QTest::newRow("dialog marked delete-on-close") << true;
}

void FrameworkTest::runModalDeletesTheDialogAfterItsLoop()
{
    QFETCH(bool, deleteOnClose);
    auto dialog = std::make_unique<EndingDialog>();
    dialog->setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
    QPointer<EndingDialog> alive(dialog.get());
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    bool destroyedBeforeLoopEnded = false;
    QObject::connect(dialog.get(), &QObject::destroyed, [&] {
        destroyedBeforeLoopEnded = QApplication::activeModalWidget() != nullptr;
    });
    bool wasModal = false;
    WhenModal([&](QWidget* modal) {
        wasModal = modal == alive;
        testsupport::ClickButton(modal, QStringLiteral("OK"));
    });

    forms::RunModal(std::move(dialog));

    QVERIFY(wasModal);
    QVERIFY(alive.isNull());
    QVERIFY(!destroyedBeforeLoopEnded);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toInt(), forms::kModalDone);
}

void FrameworkTest::windowIsPlacedOnAScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QList<QRect>>("areas");
    QTest::addColumn<QPoint>("place");
    const QRect laptop(0, 0, 1024, 728);
    const QRect right(1024, 0, 1920, 1040);
    QTest::newRow("fits, stays") << QRect(475, 313, 300, 200) << QList{laptop} << QPoint(475, 313);
    QTest::newRow("past the right and bottom edges") << QRect(900, 600, 300, 200) << QList{laptop} << QPoint(724, 528);
    QTest::newRow("above and left of the screen") << QRect(-50, -10, 300, 200) << QList{laptop} << QPoint(0, 0);
    QTest::newRow("larger than the screen: title bar on it")
        << QRect(100, 100, 1200, 900) << QList{laptop} << QPoint(0, 0);
    QTest::newRow("on the second monitor, stays") << QRect(1500, 300, 300, 200) << QList{laptop, right}
                                                  << QPoint(1500, 300);
    QTest::newRow("across both monitors: onto the one holding most")
        << QRect(1000, 300, 300, 200) << QList{laptop, right} << QPoint(1024, 300);
    QTest::newRow("second monitor removed: onto the primary")
        << QRect(1500, 300, 300, 200) << QList{laptop} << QPoint(724, 300);
    QTest::newRow("screen not at the origin") << QRect(0, 0, 300, 200) << QList{QRect(-1920, 40, 1920, 1040)}
                                              << QPoint(-300, 40);
}

void FrameworkTest::windowIsPlacedOnAScreen()
{
    QFETCH(QRect, frame);
    QFETCH(QList<QRect>, areas);
    QFETCH(QPoint, place);
    QCOMPARE(forms::PlaceOnScreen(frame, areas), place);
}

// Through forms::Application, as every window of the program goes.
void FrameworkTest::shownWindowStaysOnTheScreen()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QDialog dialog;
    dialog.resize(300, 200);
    dialog.move(area.right() - 100, area.bottom() - 50);
    dialog.show();
    QVERIFY(area.contains(dialog.frameGeometry()));
    dialog.hide();
}

KIBORU_GUI_TEST_MAIN(FrameworkTest)
#include "tst_framework.moc"
