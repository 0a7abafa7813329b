#include "forms/ComboBox.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QLineEdit>

namespace forms {

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(8);
    setCurrentIndex(-1);

    connect(this, &QComboBox::activated, this, &ComboBox::changed);
    connect(model(), &QAbstractItemModel::rowsAboutToBeInserted, this,
            &ComboBox::onRowsAboutToBeInserted);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &ComboBox::onRowsInserted);
}

// The box becomes editable here, when its layout sets it so (every layout
// does), or at the latest when it is first shown or its text is set. Not in
// the constructor: making a box editable reads its style, and a layout gives
// the box its own style sheet right after making it, which then made Qt
// read the style of the box and all its parts again: 2 to 8 million
// instructions for each box, half the time the entry window took to open.
void ComboBox::setEditable(bool)
{
    if (lineEdit())
        return;
    QComboBox::setEditable(true);
    setCompleter(nullptr);
    detachTextMatching();
    connect(lineEdit(), &QLineEdit::textEdited, this, &ComboBox::onTextEdited);
}

bool ComboBox::event(QEvent* event)
{
    if (event->type() == QEvent::Polish)
        setEditable(true);
    return QComboBox::event(event);
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
    return lineEdit() ? lineEdit()->text() : currentText();
}

void ComboBox::setText(const QString& text)
{
    setEditable(true);
    setCurrentIndex(-1);
    lineEdit()->setText(text);
}

void ComboBox::clearSelection()
{
    setEditable(true);
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
    textBeforeFill_ = text();
}

void ComboBox::onRowsInserted()
{
    if (fillingEmptyBox_ && currentIndex() >= 0)
        unselectKeepingText(textBeforeFill_);
    fillingEmptyBox_ = false;
}

// Also while a layout fills the box before making it editable: then there
// is no text to keep yet.
void ComboBox::unselectKeepingText(const QString& text)
{
    if (!lineEdit()) {
        setCurrentIndex(-1);
        return;
    }
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}

} // namespace forms
