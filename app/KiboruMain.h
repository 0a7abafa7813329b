#pragma once
// The main window: the product title, the entry date, the buttons that open
// the benefit entry window, the claim status list (on the entry date) and
// the history of saved versions and the roster import, and the button that
// ends the program, and the backups. Closing it ends the program, after
// asking for a backup when the last one is older than the reminder's days.

#include "entry/EntryState.h"
#include "ui_KiboruMain.h"

#include <QWidget>
#include <memory>

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // state: what the entry window keeps for the whole run; it must outlive
    // this window. Every entry window opened from here gets it.
    explicit TForm1(entry::EntryState& state, QWidget* parent = nullptr);
    ~TForm1() override;

    const std::unique_ptr<Ui::TForm1> ui;

    void SetToday();   // the entry date becomes today's date

    // Event handlers.
    void Button1Click();   // 給付入力: a new entry window, modally
    void Button3Click();   // 請求状況: the deadline list on the picker's date, modally
    void Button5Click();   // 履歴: the history of the claim and status files, modally
    void Button4Click();   // 名簿取込: the roster import, modally
    void Button6Click();   // バックアップ: the backups of the data folder, modally
    void Button7Click();   // 統計: injury statistics of the 年度 of the picker's date, modally
    void Button2Click();   // 終　　了: end the program

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Before the window closes, by 終了 or its close box: the backup
    // reminder, when one is due. Closing is never refused.
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectHandlers();
    void CentreOnScreen();
    void RemindOfBackup();

    entry::EntryState& state_;
};
