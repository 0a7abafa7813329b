#include "entry/Tkaisuu.h"

#include "forms/Application.h"
#include "forms/Messages.h"
#include "forms/Modal.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TForm4>())
{
    // Flags first: changing them later makes every control take its style
    // sheet a second time.
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    move(185, 312);   // its place on the screen, not centred
    ConnectHandlers();
}

TForm4::~TForm4() = default;

void TForm4::ConnectHandlers()
{
    forms::OnEvent(ui->BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
}

void TForm4::FillList(const QStringList& names)
{
    ui->ListBox1->setLines(names);
}

void TForm4::BitBtn1Click()
{
    const int row = ui->ListBox1->selectedIndex();
    if (row < 0) {
        forms::ShowMessage(this, QStringLiteral("受傷回数のファイルを選択して下さい！！！"));
        return;
    }
    const QString name = ui->ListBox1->line(row);
    done(forms::kModalDone);
    if (OnDecide)
        OnDecide(name);
}

void TForm4::reject()
{
    BitBtn1Click();
}
