#pragma once
// What the behaviour tests of the entry window share: a working folder with
// rosters and claim files, the user's hand on the window's controls, and the
// answers to the modal dialogs that the window's handlers open.

#include "entry/EntryState.h"
#include "entry/SeiKyuImp.h"
#include "forms/MessageSeam.h"
#include "tests/support/TestFolder.h"

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

namespace forms {
class ComboBox;
class ListBox;
}

namespace entrytest {

// Shift-JIS bytes of test data (plain kana and kanji only).
QByteArray sjis(const QString& text);

// A fresh temporary folder (testsupport::TestFolder), the current folder
// until it is destroyed.
class WorkFolder {
public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QString path() const;
    QString file(const QString& relative) const;
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;   // "(missing)" when it is not there
    void makeFolder(const QString& relative) const;
    QStringList claimFiles() const;                   // names in seikyu, sorted

private:
    QString previous_;
    testsupport::TestFolder dir_;
};

// The day every entry window of the tests opens: its year lists reach
// 令和9年度 and 2039.
inline const QDate kOpeningDay(2026, 12, 8);

// The roster H20入学.CSV: a header line and these students, CR LF after each.
inline const QString kRoster = QStringLiteral("H20入学.CSV");
inline const QString kEntryYear = QStringLiteral("平成20年度");
inline const QString kTaro = QStringLiteral(
    "1024,3-2,2-4,1-1,山田太郎,やまだたろう,山田一郎,北中学校,男,普通科,H4.5.6,東京都千代田区1-2");
inline const QString kHanako = QStringLiteral(
    "1025,3-1,2-1,1-3,山田花子,やまだはなこ,山田次郎,南中学校,女,普通科,H4.7.8,東京都港区3-4");
inline const QString kJiro = QStringLiteral(
    "1030,3-3,2-2,1-2,佐藤次郎,さとうじろう,佐藤三郎,東中学校,男,理数科,H4.9.10,東京都新宿区5-6");
void writeRoster(const WorkFolder& folder, const QStringList& students = {kTaro, kHanako, kJiro});

// One treatment row as a claim file holds it (25 fields, mark before label),
// and as the treatment list shows it. treated: months 1 (April) .. 12 (March)
// marked "◎", the others "－".
QByteArray rowBytes(const QByteArray& year, const QList<int>& treated = {});
QString listLine(const QString& year, const QList<int>& treated = {});

// The thirteen row lines of a table from the injury year on; marks[r] are the
// treated months of row r (1 .. 13).
QList<QByteArray> tableRows(int injuryYear, const QMap<int, QList<int>>& marks = {});
QStringList listLines(int injuryYear, const QMap<int, QList<int>>& marks = {});

// A claim file: the identification line, the ten header texts and the rows,
// each line ended by CR LF.
QByteArray claimBytes(const QString& identification, const QStringList& header,
                      const QList<QByteArray>& rows);
void writeClaim(const WorkFolder& folder, const QString& name, const QStringList& header,
                int injuryYear, const QMap<int, QList<int>>& marks = {});

// The user's hand.
void typeInto(QWidget* field, const QString& text);        // replaces the text, key by key
void typeInto(forms::ComboBox* list, const QString& text);
void chooseByMouse(forms::ComboBox* list, int item);      // from the list that drops down
void clickLine(forms::ListBox* list, int line);
void clickMonth(TForm2& window, int month);                // 1 = April .. 12 = March
QStringList linesOf(const forms::ListBox* list);
QStringList itemsOf(const forms::ComboBox* list);

// One act on a modal dialog, and the dialog as it came.
using Act = std::function<void(QWidget* dialog)>;
Act choose(int line);   // clicks the line, then the decide button
// By name, for tables: "decide", "end" (終　了), "close" (the close box),
// "escape", "line<n>" (clicks line n) and "choose<n>".
QList<Act> actsNamed(const QStringList& names);

struct SeenDialog {
    QString caption;
    QStringList lines;               // of its visible list, as it came
    bool overStudentDialog = false;  // the student dialog was open beneath it
    QList<bool> openAfter;           // whether it was still open after each act
};

// Answers the modal dialogs that the next action opens: the i-th dialog gets
// the i-th list of acts. A dialog that is still open 4 s after it came is
// ended, and the case fails (see stuck()).
class Dialogs {
public:
    Dialogs();
    void answer(const QList<QList<Act>>& perDialog);
    int unanswered() const { return int(pending_.size()); }
    const QList<SeenDialog>& seen() const { return seen_; }
    bool stuck() const { return stuck_; }

private:
    void waitForNext();
    void act(QWidget* dialog);
    void watch();

    QList<QList<Act>> pending_;
    QList<SeenDialog> seen_;
    QTimer watchdog_;
    QPointer<QWidget> watched_;
    QElapsedTimer watchedFor_;
    bool stuck_ = false;
};

// One case: a working folder, a fresh EntryState, the message boxes recorded
// and answered, and a shown entry window.
struct Session {
    WorkFolder folder;
    entry::EntryState state;
    forms::MessageSeam boxes;
    Dialogs dialogs;
    std::unique_ptr<TForm2> window;

    Session();
    void reopen();   // a new entry window on the same state, as the main window does

    // 入学年度, the reading, then 検　索; the dialogs get the acts given.
    void search(const QString& reading, const QList<QList<Act>>& perDialog,
                const QString& entryYear = kEntryYear);
    // Chooses the student on that line of the search for the reading; when
    // the student has a claim file of occurrence 1, the file on claimLine.
    void chooseStudent(const QString& reading, int line, int claimLine = -1);
    // Types the occurrence number into 受傷回数; the dialogs get the acts given.
    void chooseOccurrence(const QString& number, const QList<QList<Act>>& perDialog = {});
    void save(forms::Answer answer);
    // The boxes shown so far, each as "kind caption [buttons]: text" (see box()).
    QStringList shownBoxes() const;
};

// A box as shownBoxes() writes it: kind "message", "confirm" or "error".
QString box(const char* kind, const QString& text);
QString messageBox(const QString& text);   // box("message", text)
QString errorBox(const QString& text);     // box("error", text)

} // namespace entrytest
