#include "entry/SelectSeito.h"

#include "forms/Application.h"
#include "forms/Modal.h"

TForm3::TForm3(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TForm3>())
{
    ui->setupUi(this);
    move(475, 313);   // its place on the screen, not centred
    ConnectHandlers();
}

TForm3::~TForm3() = default;

void TForm3::ConnectHandlers()
{
    forms::OnEvent(ui->BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    forms::OnEvent(ui->BitBtn2, &QPushButton::clicked, this, &TForm3::BitBtn2Click);
}

void TForm3::BitBtn1Click() {}

void TForm3::BitBtn2Click()
{
    done(forms::kModalDone);
}
