// The ten header lists: placing loaded values, remembering and trimming the
// items that loads add, and showing a loaded claim.

#include "entry/SeiKyuImp.h"
#include "entry/EntryText.h"
#include "ui_SeiKyuImp.h"

#include <algorithm>

// Header order: year, month, day, weekday, creditor, injury, body part,
// situation, club, place.
std::array<forms::ComboBox*, 10> TForm2::HeaderLists() const
{
    return {ui->ComboBox2, ui->ComboBox3, ui->ComboBox4, ui->ComboBox5, ui->ComboBox11,
            ui->ComboBox9, ui->ComboBox6, ui->ComboBox7, ui->ComboBox8, ui->ComboBox13};
}

// The place of the item that a load adds: the first item beyond the counts
// remembered when this window's student was chosen. A window that has not
// had a student yet holds only its own items and what its loads added, so
// counts remembered in an earlier window do not apply to it.
int TForm2::AddedItemPosition(int k) const
{
    if (!studentChosenHere_)
        return fixedItemCounts_[k];
    return std::max(state_.ListCounts[k], fixedItemCounts_[k]);
}

void TForm2::RememberListCounts()
{
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k)
        state_.ListCounts[k] = lists[k]->count();
}

void TForm2::ClearClaimControls()
{
    ui->ListBox1->clear();
    for (forms::ComboBox* list : HeaderLists())
        list->clearSelection();
}

void TForm2::TrimHeaderLists()
{
    // Only items that loads added lie beyond AddedItemPosition, so a list's
    // own items stay, also before the first student of the run.
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k) {
        const int added = AddedItemPosition(k);
        if (lists[k]->count() > added)
            lists[k]->deleteItem(added);
    }
}

// Each loaded value becomes the list's added item, so that it can be
// selected even when it is none of the list's own items. The list's own
// items are never replaced: a value loaded over an earlier load takes the
// place of the item that load added.
void TForm2::PlaceLoadedValues()
{
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k) {
        const QString value = entry::Text(state_.ClaimHeader.field(k));
        const int added = AddedItemPosition(k);
        if (lists[k]->count() > added)
            lists[k]->writeItem(added, value);
        else
            lists[k]->addItemText(value);
    }
}

void TForm2::ShowClaimHeader()
{
    const auto lists = HeaderLists();
    for (int k = 0; k < int(lists.size()); ++k)
        lists[k]->setSelectedIndex(lists[k]->findText(entry::Text(state_.ClaimHeader.field(k))));
    const int occurrence = state_.CurrentOccurrence;
    ui->ComboBox12->setSelectedIndex(claims::ClaimName::IsOccurrence(occurrence) ? occurrence - 1 : -1);
    FillTreatmentList();
    RefreshTreatmentLine(1);
}

// Text typed into a list whose chosen item counts acts as choosing the item
// it equals exactly; other text leaves no item chosen.
void TForm2::AdoptTypedItem(forms::ComboBox* list)
{
    if (list->selectedIndex() >= 0)
        return;
    const int i = list->findText(list->text());   // exact, case-sensitive
    if (i >= 0)
        list->setSelectedIndex(i);
}

