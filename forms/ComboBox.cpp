#include "forms/ComboBox.h"

#include <QAbstractItemModel>
#include <QLineEdit>

namespace forms {

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(8);
    setCurrentIndex(-1);
    detachTextMatching();

    connect(this, &QComboBox::activated, this, &ComboBox::changed);
    connect(lineEdit(), &QLineEdit::textEdited, this, &ComboBox::onTextEdited);
    connect(model(), &QAbstractItemModel::rowsAboutToBeInserted, this,
            &ComboBox::onRowsAboutToBeInserted);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &ComboBox::onRowsInserted);
}

// QComboBox looks the typed text up among the items when Enter is pressed or
// the focus leaves, and selects a match. Typed text must stay typed text.
void ComboBox::detachTextMatching()
{
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
}

int ComboBox::selectedIndex() const
{
    return currentIndex();
}

void ComboBox::setSelectedIndex(int i)
{
    setCurrentIndex(i >= 0 && i < count() ? i : -1);
}

QString ComboBox::selectedText() const
{
    return itemText(currentIndex());
}

QString ComboBox::text() const
{
    return lineEdit()->text();
}

void ComboBox::setText(const QString& text)
{
    setCurrentIndex(-1);
    lineEdit()->setText(text);
}

void ComboBox::clearSelection()
{
    setCurrentIndex(-1);
    lineEdit()->clear();
}

void ComboBox::deleteItem(int i)
{
    if (i < 0 || i >= count())
        return;
    const bool wasSelected = i == currentIndex();
    removeItem(i);
    if (wasSelected)
        clearSelection();   // QComboBox would select a neighbour instead
}

void ComboBox::writeItem(int i, const QString& text)
{
    if (i >= 0 && i < count())
        setItemText(i, text);
}

void ComboBox::addItemText(const QString& text)
{
    addItem(text);
}

void ComboBox::onTextEdited()
{
    if (currentIndex() >= 0)
        unselectKeepingText(lineEdit()->text());
    emit changed();
}

// QComboBox selects the first item as soon as an empty box receives items
// (also when a .ui file fills the box after construction). Undo that.
void ComboBox::onRowsAboutToBeInserted()
{
    if (count() > 0 || currentIndex() >= 0)
        return;
    fillingEmptyBox_ = true;
    textBeforeFill_ = lineEdit()->text();
}

void ComboBox::onRowsInserted()
{
    if (fillingEmptyBox_ && currentIndex() >= 0)
        unselectKeepingText(textBeforeFill_);
    fillingEmptyBox_ = false;
}

void ComboBox::unselectKeepingText(const QString& text)
{
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}

} // namespace forms
