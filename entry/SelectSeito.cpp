#include "entry/SelectSeito.h"

#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"

#include <QBackingStore>
#include <QPainter>
#include <QPixmap>
#include <QScopeGuard>

TForm3::TForm3(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TForm3>())
{
    ui->setupUi(this);
    move(475, 313);   // its place on the screen, not centred
    ConnectHandlers();
}

TForm3::~TForm3() = default;

// The first paint of a dialog in a run loads the fonts of its controls at
// their sizes and those that draw the rows' scripts (digits, kana, half-width
// kana, kanji), and draws a scroll bar for the first time (the painter then
// starts its helper threads): several milliseconds, taken here while the
// office types. The sample rows are more and wider than the list shows at
// once, so that both scroll bars are drawn.
void TForm3::Prepare()
{
    ensurePolished();
    (void)winId();
    TouchBackingStore();
    const QString sample = QStringLiteral("00001,3-1,2-1,1-1,生徒　氏名,せいと　しめい,保護者　氏名,"
                                          "ｾｲﾄ ｼﾒｲ,普通科,H1.4.1,住所　番地,00001,3-1,2-1,1-1,生徒　氏名");
    ui->ListBox2->setLines(QStringList(100, sample));
    DrawOffScreen();
    ui->ListBox2->setLines(QStringList());
}

// The window's buffer is made at its size and written once now: a buffer
// made at the first paint costs that paint a page fault for every 4 KiB of
// it (about 170 for this dialog). The first paint draws over all of it.
void TForm3::TouchBackingStore()
{
    QBackingStore* store = backingStore();
    if (!store)
        return;
    const QRect all(QPoint(), size());
    store->resize(all.size());
    store->beginPaint(all);
    if (QPaintDevice* device = store->paintDevice())
        QPainter(device).fillRect(all, palette().window());
    store->endPaint();
}

// The rows are set as a search sets them, so that the list lays them out at
// the width it will show them at (its rows take the size of its last row).
void TForm3::DrawRows(const claims::FoundLines& rows)
{
    SetStudentLines(rows);
    DrawOffScreen();
    SetStudentLines(claims::FoundLines());
}

void TForm3::DrawOffScreen()
{
    ui->ListBox2->doItemsLayout();
    QPixmap frame(size());
    render(&frame);
}

void TForm3::ConnectHandlers()
{
    forms::OnEvent(ui->BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    forms::OnEvent(ui->BitBtn2, &QPushButton::clicked, this, &TForm3::BitBtn2Click);
}

// A row's text is made from its bytes when the list first needs it: the
// dialog opens without decoding lines that nobody looks at.
void TForm3::SetStudentLines(claims::FoundLines lines)
{
    studentLines_ = std::move(lines);
    ui->ListBox2->setLines(int(studentLines_.size()),
                           [shown = studentLines_](int i) { return shown.text(i); });
}

void TForm3::BitBtn1Click()
{
    const int row = ui->ListBox2->selectedIndex();
    if (row < 0 || row >= studentLines_.size()) {
        forms::ShowMessage(this, QStringLiteral("該当生徒を選択して下さい！！！"));
        return;
    }
    // The dialog closes after the student is shown, also when showing fails.
    const auto close = qScopeGuard([this] { done(forms::kModalDone); });
    if (OnDecide)
        OnDecide(studentLines_.line(row));
}

void TForm3::BitBtn2Click()
{
    done(forms::kModalDone);
}
