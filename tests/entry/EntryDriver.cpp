#include "tests/entry/EntryDriver.h"

#include "files/ShiftJis.h"

#include "forms/ComboBox.h"
#include "forms/ListBox.h"
#include "tests/support/ModalHelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace entrytest {

namespace {

const char kNotTreated[] = "\x81\x7C";   // "－"
const char kTreated[] = "\x81\x9D";      // "◎"
const char* const kLabelBytes[12] = {
    "\x82\x53\x8C\x8E", "\x82\x54\x8C\x8E", "\x82\x55\x8C\x8E", "\x82\x56\x8C\x8E",
    "\x82\x57\x8C\x8E", "\x82\x58\x8C\x8E", "10\x8C\x8E",       "11\x8C\x8E",
    "12\x8C\x8E",       "\x82\x50\x8C\x8E", "\x82\x51\x8C\x8E", "\x82\x52\x8C\x8E",
};
const char16_t* const kLabels[12] = {u"４月", u"５月", u"６月", u"７月", u"８月", u"９月",
                                     u"10月", u"11月", u"12月", u"１月", u"２月", u"３月"};

const QString kDecide = QStringLiteral("選択決定");
const QString kDecideFile = QStringLiteral("決　定");

forms::ListBox* visibleList(QWidget* dialog)
{
    for (forms::ListBox* list : dialog->findChildren<forms::ListBox*>())
        if (list->isVisible())
            return list;
    return nullptr;
}

bool studentDialogOpen()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Form3") && w->isVisible())
            return true;
    return false;
}

} // namespace

QByteArray sjis(const QString& text)
{
    return claims::ToShiftJis(text).value_or("(not Shift-JIS)");
}

WorkFolder::WorkFolder() : previous_(QDir::currentPath())
{
    QDir::setCurrent(dir_.path());
}

WorkFolder::~WorkFolder()
{
    QDir::setCurrent(previous_);
}

QString WorkFolder::path() const
{
    return dir_.path();
}

QString WorkFolder::file(const QString& relative) const
{
    return dir_.filePath(relative);
}

void WorkFolder::write(const QString& relative, const QByteArray& bytes) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qWarning("cannot write %s", qUtf8Printable(relative));
}

QByteArray WorkFolder::read(const QString& relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void WorkFolder::makeFolder(const QString& relative) const
{
    QDir(dir_.path()).mkpath(relative);
}

QStringList WorkFolder::claimFiles() const
{
    return QDir(file(QStringLiteral("seikyu"))).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                                                          QDir::Name);
}

void writeRoster(const WorkFolder& folder, const QStringList& students)
{
    QByteArray bytes = sjis(QStringLiteral("ID,３年,２年,１年,氏名,ふりがな,保護者,中学校,性別,学科,生年月日,住所"));
    bytes += "\r\n";
    for (const QString& line : students)
        bytes += sjis(line) + "\r\n";
    folder.write(kRoster, bytes);
}

QByteArray rowBytes(const QByteArray& year, const QList<int>& treated)
{
    QByteArray line = year;
    for (int k = 1; k <= 12; ++k)
        line += QByteArray(",") + (treated.contains(k) ? kTreated : kNotTreated) + "," + kLabelBytes[k - 1];
    return line;
}

QString listLine(const QString& year, const QList<int>& treated)
{
    QString line = year + QStringLiteral("年");
    for (int k = 1; k <= 12; ++k)
        line += (treated.contains(k) ? QStringLiteral(",◎,") : QStringLiteral(",－,"))
                + QString::fromUtf16(kLabels[k - 1]);
    return line;
}

QList<QByteArray> tableRows(int injuryYear, const QMap<int, QList<int>>& marks)
{
    QList<QByteArray> rows;
    for (int r = 1; r <= 13; ++r)
        rows << rowBytes(QByteArray::number(injuryYear + r - 1), marks.value(r));
    return rows;
}

QStringList listLines(int injuryYear, const QMap<int, QList<int>>& marks)
{
    QStringList lines;
    for (int r = 1; r <= 13; ++r)
        lines << listLine(QString::number(injuryYear + r - 1), marks.value(r));
    return lines;
}

QByteArray claimBytes(const QString& identification, const QStringList& header,
                      const QList<QByteArray>& rows)
{
    QByteArray bytes = sjis(identification) + "\r\n" + sjis(header.join(u',')) + "\r\n";
    for (const QByteArray& row : rows)
        bytes += row + "\r\n";
    return bytes;
}

void writeClaim(const WorkFolder& folder, const QString& name, const QStringList& header,
                int injuryYear, const QMap<int, QList<int>>& marks)
{
    folder.makeFolder(QStringLiteral("seikyu"));
    const QString identification = name.chopped(4) + QStringLiteral(",氏名,性別");
    folder.write(QStringLiteral("seikyu/") + name,
                 claimBytes(identification, header, tableRows(injuryYear, marks)));
}

void typeInto(QWidget* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);   // the old text is replaced
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    testsupport::TypeText(field, text);
}

void typeInto(forms::ComboBox* list, const QString& text)
{
    typeInto(list->lineEdit(), text);
}

void chooseByMouse(forms::ComboBox* list, int item)
{
    list->showPopup();
    QAbstractItemView* view = list->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        qWarning("the list did not drop down");
    QTest::qWait(QApplication::doubleClickInterval() + 50);   // the list ignores an early release
    const QModelIndex index = view->model()->index(item, 0);
    view->scrollTo(index);
    const QPoint point = view->visualRect(index).center();
    QTest::mouseMove(view->viewport(), point);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
}

void clickLine(forms::ListBox* list, int line)
{
    const QModelIndex index = list->model()->index(line, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void clickMonth(TForm2& window, int month)
{
    auto* button = window.findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(month));
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList linesOf(const forms::ListBox* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->line(i);
    return lines;
}

QStringList itemsOf(const forms::ComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

namespace {

void pressDecide(QWidget* dialog)
{
    QAbstractButton* decide = testsupport::FindButton(dialog, kDecide);
    QTest::mouseClick(decide ? decide : testsupport::FindButton(dialog, kDecideFile), Qt::LeftButton);
}

} // namespace

Act choose(int line)
{
    return [line](QWidget* dialog) {
        clickLine(visibleList(dialog), line);
        pressDecide(dialog);
    };
}

namespace {

Act actNamed(const QString& name)
{
    if (name.startsWith(QLatin1String("line")))
        return [line = name.mid(4).toInt()](QWidget* d) { clickLine(visibleList(d), line); };
    if (name.startsWith(QLatin1String("choose")))
        return choose(name.mid(6).toInt());
    if (name == QLatin1String("decide"))
        return pressDecide;
    if (name == QLatin1String("end"))
        return [](QWidget* d) { testsupport::ClickButton(d, QStringLiteral("終　了")); };
    if (name == QLatin1String("close"))
        return [](QWidget* d) { d->close(); };
    if (name == QLatin1String("escape"))
        return [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); };
    qWarning("no act named %s", qUtf8Printable(name));
    return [](QWidget*) {};
}

} // namespace

QList<Act> actsNamed(const QStringList& names)
{
    QList<Act> acts;
    for (const QString& name : names)
        acts << actNamed(name);
    return acts;
}

Dialogs::Dialogs()
{
    watchdog_.setInterval(100);
    QObject::connect(&watchdog_, &QTimer::timeout, [this] { watch(); });
    watchdog_.start();
}

void Dialogs::answer(const QList<QList<Act>>& perDialog)
{
    pending_ = perDialog;
    if (!pending_.isEmpty())
        waitForNext();
}

// Registered before the acts on a dialog run, so that a dialog opened from
// them (the occurrence dialog over the student dialog) is answered too.
void Dialogs::waitForNext()
{
    testsupport::WhenModal([this](QWidget* dialog) { act(dialog); }, 3000);
}

void Dialogs::act(QWidget* dialog)
{
    const QList<Act> acts = pending_.takeFirst();
    const forms::ListBox* list = visibleList(dialog);
    seen_.append({dialog->windowTitle(), list ? linesOf(list) : QStringList(), studentDialogOpen(), {}});
    const qsizetype mine = seen_.size() - 1;
    if (!pending_.isEmpty())
        waitForNext();
    QPointer<QWidget> alive(dialog);
    for (const Act& a : acts) {
        if (alive && alive->isVisible())
            a(alive);
        seen_[mine].openAfter << (alive && alive->isVisible());
    }
}

void Dialogs::watch()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != watched_) {
        watched_ = modal;
        watchedFor_.start();
        return;
    }
    if (!modal || watchedFor_.elapsed() < 4000)
        return;
    stuck_ = true;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(0);
}

Session::Session()
{
    reopen();
}

void Session::reopen()
{
    window = std::make_unique<TForm2>(state, nullptr, kOpeningDay);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the entry window was not shown");
}

void Session::search(const QString& reading, const QList<QList<Act>>& perDialog,
                     const QString& entryYear)
{
    typeInto(window->ui->ComboBox1, entryYear);
    typeInto(window->ui->Edit1, reading);
    dialogs.answer(perDialog);
    QTest::mouseClick(window->ui->BitBtn1, Qt::LeftButton);
}

void Session::chooseStudent(const QString& reading, int line, int claimLine)
{
    QList<QList<Act>> acts = {{choose(line)}};
    if (claimLine >= 0)
        acts.append({choose(claimLine)});
    search(reading, acts);
}

void Session::chooseOccurrence(const QString& number, const QList<QList<Act>>& perDialog)
{
    dialogs.answer(perDialog);
    typeInto(window->ui->ComboBox12, number);
}

void Session::save(forms::Answer answer)
{
    boxes.queueAnswer(answer);
    QTest::mouseClick(window->ui->BitBtn2, Qt::LeftButton);
}

QStringList Session::shownBoxes() const
{
    static const char* const kinds[] = {"message", "confirm", "error"};
    QStringList shown;
    for (const forms::ShownBox& b : boxes.shown()) {
        const QString kind = QLatin1String(kinds[int(b.kind)]);
        const QString buttons = b.buttons.join(u'/');
        shown << QStringLiteral("%1 %2 [%3]: %4").arg(kind, b.caption, buttons, b.text);
    }
    return shown;
}

QString box(const char* kind, const QString& text)
{
    const bool question = qstrcmp(kind, "confirm") == 0;
    return QStringLiteral("%1 %2 [%3]: %4")
        .arg(QLatin1String(kind), question ? QStringLiteral("確認") : QStringLiteral("Kiboru"),
             question ? QStringLiteral("はい(&Y)/いいえ(&N)/ｷｬﾝｾﾙ") : QStringLiteral("OK"), text);
}

QString messageBox(const QString& text)
{
    return box("message", text);
}

QString errorBox(const QString& text)
{
    return box("error", text);
}

} // namespace entrytest
