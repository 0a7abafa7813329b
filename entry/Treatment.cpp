// The treatment table: the injury year builds it, a line or the year box
// picks the current row, the month buttons mark and unmark months.

#include "entry/SeiKyuImp.h"
#include "entry/EntryText.h"
#include "forms/Messages.h"
#include "ui_SeiKyuImp.h"

using claims::TTreatmentTable;

// The year of the entry chosen in the injury-year list; 0 with none chosen.
int TForm2::InjuryYear() const
{
    return claims::ReadYear(entry::LookupBytes(ui->ComboBox2->selectedText()));
}

// The list shows the thirteen rows only after an injury year was chosen or
// a claim was loaded in this window; until then the year box and the month
// buttons have no row to work on.
bool TForm2::TreatmentListShown() const
{
    return ui->ListBox1->count() == TTreatmentTable::RowCount;
}

void TForm2::InitTreatmentTable()
{
    claims::InitTreatmentTable(state_.TreatmentTable, InjuryYear());
}

void TForm2::ResetClaim()
{
    claims::ResetClaim(state_.ClaimHeader, state_.TreatmentTable, InjuryYear());
}

void TForm2::FillTreatmentList()
{
    const qint64 year = InjuryYear();
    QStringList lines;
    for (int r = 1; r <= TTreatmentTable::RowCount; ++r) {
        const QByteArray rowYear = QByteArray::number(year + r - 1);
        lines << entry::Text(claims::ListLine(state_.TreatmentTable.row(r), rowYear));
    }
    ui->ListBox1->setLines(lines);
    ui->ComboBox10->setSelectedIndex(ui->ComboBox2->selectedIndex());
    ui->ListBox1->setSelectedIndex(0);
}

void TForm2::RefreshTreatmentLine(int r)
{
    const int line = ui->ListBox1->selectedIndex();
    if (line < 0 || r < 1 || r > TTreatmentTable::RowCount)
        return;
    const claims::t_kyufu& row = state_.TreatmentTable.row(r);
    ui->ListBox1->replaceLine(line, entry::Text(claims::ListLine(row, row.year())));
}

void TForm2::ComboBox2Change()
{
    InitTreatmentTable();
    FillTreatmentList();
    state_.CurrentRow = 1;
}

void TForm2::ListBox1Click()
{
    const int line = ui->ListBox1->selectedIndex();
    if (line < 0 || !TreatmentListShown())
        return;
    const int injury = ui->ComboBox2->selectedIndex();
    // Past the last year entry the year box shows no year.
    ui->ComboBox10->setSelectedIndex(injury < 0 ? -1 : injury + line);
    state_.CurrentRow = line + 1;
}

void TForm2::ComboBox10Change()
{
    const int chosen = ui->ComboBox10->selectedIndex();
    const int injury = ui->ComboBox2->selectedIndex();
    // Rows are worked out from the two lists' positions. Typed text that is
    // no year entry, or an injury year that is not one of the year entries,
    // gives no row.
    if (!TreatmentListShown() || chosen < 0 || injury < 0 || injury >= ui->ComboBox10->count())
        return;
    const int offset = chosen - injury;
    if (offset < 0) {
        forms::ShowMessage(this, QStringLiteral("受傷年度より前の年度には入力できません！！"));
        return;
    }
    if (offset + 1 > TTreatmentTable::RowCount) {
        forms::ShowMessage(this, QStringLiteral("最長年数は１３年です！！"));
        return;
    }
    ui->ListBox1->setSelectedIndex(offset);
    state_.CurrentRow = offset + 1;
}

void TForm2::RadioButtonClick(int month)
{
    const int row = state_.CurrentRow;
    if (!TreatmentListShown() || row < 1 || row > TTreatmentTable::RowCount)
        return;
    ui->ListBox1->setSelectedIndex(row - 1);   // the line shown is the row changed
    claims::ToggleMark(state_.TreatmentTable.row(row), month);
    RefreshTreatmentLine(row);
}
