#include "entry/SeiKyuImp.h"
#include "rosters/EntryYears.h"

#include "forms/Application.h"
#include "forms/InputMode.h"
#include "forms/Modal.h"
#include "forms/RadioGroup.h"

#include <QKeyEvent>
#include <QTimer>

TForm2::TForm2(entry::EntryState& state, QWidget* parent, QDate openingDay)
    : QDialog(parent), ui(std::make_unique<Ui::TForm2>()),
      searchAhead_(new entry::SearchAhead(this)), state_(state)
{
    // Flags first: changing them later makes every control take its style
    // sheet a second time.
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui->setupUi(this);
    move(186, 108);   // its place on the screen, not centred

    const QList<QWidget*> typedInHiragana = {ui->Edit1, ui->ComboBox6, ui->ComboBox7,
                                             ui->ComboBox8, ui->ComboBox9, ui->ComboBox13};
    for (QWidget* control : typedInHiragana)
        forms::SetHiraganaOnFocus(control);

    monthButtons_ = new forms::RadioGroup(
        {ui->RadioButton1, ui->RadioButton2, ui->RadioButton3, ui->RadioButton4,
         ui->RadioButton5, ui->RadioButton6, ui->RadioButton7, ui->RadioButton8,
         ui->RadioButton9, ui->RadioButton10, ui->RadioButton11, ui->RadioButton12},
        this);
    AddLaterYears(openingDay);   // before the header lists' own items are counted
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k)
        fixedItemCounts_[k] = lists[k]->count();
    ConnectHandlers();
    ConnectTypedItems();
}

TForm2::~TForm2() = default;

// The layout's items keep their positions; the years since follow them, the
// same in both year lists, so that rows are still reckoned by positions.
void TForm2::AddLaterYears(QDate openingDay)
{
    for (const QString& item : claims::LaterEntryYears(openingDay))
        ui->ComboBox1->addItemText(item);
    for (const QString& item : claims::LaterYears(openingDay)) {
        ui->ComboBox2->addItemText(item);
        ui->ComboBox10->addItemText(item);
    }
}

void TForm2::ConnectHandlers()
{
    forms::OnEvent(ui->BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(ui->Edit1, &QLineEdit::textChanged, this, [this] {
        TypedSearchChanged();
        QTimer::singleShot(0, this, &TForm2::PrepareStudentDialog);
    });
    connect(ui->ComboBox1, &QComboBox::currentTextChanged, this, &TForm2::TypedSearchChanged);
    searchPause_.setSingleShot(true);
    connect(&searchPause_, &QTimer::timeout, this, &TForm2::SearchAheadOfClick);
    foundCheck_.setInterval(10);
    connect(&foundCheck_, &QTimer::timeout, this, &TForm2::DrawFoundRowsAhead);
    forms::OnEvent(ui->BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    forms::OnEvent(ui->BitBtn3, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
    forms::OnEvent(ui->ComboBox2, &forms::ComboBox::changed, this, [this] {
        AdoptTypedItem(ui->ComboBox2);
        ComboBox2Change();
    });
    forms::OnEvent(ui->ComboBox10, &forms::ComboBox::changed, this, [this] {
        AdoptTypedItem(ui->ComboBox10);
        ComboBox10Change();
    });
    forms::OnEvent(ui->ComboBox12, &forms::ComboBox::changed, this, [this] {
        AdoptTypedItem(ui->ComboBox12);
        ComboBox12Change();
    });
    forms::OnEvent(ui->ListBox1, &forms::ListBox::clicked, this, &TForm2::ListBox1Click);
    forms::OnEvent(monthButtons_, &forms::RadioGroup::selected, this,
                   [this](int index) { RadioButtonClick(index + 1); });
}

// Esc leaves the window open: it ends only by its buttons and its frame.
void TForm2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

// The date lists and the creditor registration save their chosen item, so a
// typed text that equals one of their items counts as choosing it.
void TForm2::ConnectTypedItems()
{
    for (forms::ComboBox* list : {ui->ComboBox3, ui->ComboBox4, ui->ComboBox5, ui->ComboBox11})
        forms::OnEvent(list, &forms::ComboBox::changed, this, [this, list] { AdoptTypedItem(list); });
}
