#include "entry/Tkaisuu.h"

#include "forms/Application.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TForm4>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    move(185, 312);   // its place on the screen, not centred
    ConnectHandlers();
}

TForm4::~TForm4() = default;

void TForm4::ConnectHandlers()
{
    forms::OnEvent(ui->BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
}

void TForm4::BitBtn1Click() {}
